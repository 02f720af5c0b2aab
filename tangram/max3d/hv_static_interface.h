// HVStaticInterface: a static function-publishing interface whose entries are member functions.
#pragma once

#include "max.h"

#include "iFnPub.h"
#include "tangram/max3d/fp_dispatcher.h"

#include <map>
#include <memory>
#include <string>

namespace tangram {
namespace FPWrapper {

/// Base of a plug-in's interface class T, published with descriptor flags `Flags`. Holds the
/// dispatch table (function ID to dispatcher, owned) that HVCreateDescriptor fills.
template <class T, int Flags>
class HVStaticInterface : public FPStaticInterface {
 public:
  static constexpr int descriptor_flags = Flags;
  using DispatchTable = std::map<FunctionID, std::unique_ptr<FPDispatcher<T>>>;

  /// Runs the entry with that ID: FPS_OK, or FPS_NO_SUCH_FUNCTION (result untouched) for an ID
  /// that is not in the table.
  FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* params) override {
    auto found = dispatch_table_.find(fid);
    if (found == dispatch_table_.end()) return FPS_NO_SUCH_FUNCTION;
    found->second->invoke(static_cast<T*>(this), t, result, params);
    return FPS_OK;
  }

  DispatchTable& dispatch_table() { return dispatch_table_; }

  /// Hands the finished descriptor list to the host. FPInterfaceDesc::load_descriptor is
  /// protected: only the interface itself may call it.
  void load_descriptor_list(Interface_ID id, const std::string& internalName, ClassDesc* classDesc,
                            USHORT descriptorFlags, const DescriptorList& list) {
    std::string name = internalName;  // the host takes a writable name, which it copies
    pass_as_va_list(list, [&](va_list items) {
      load_descriptor(id, name.data(), 0, classDesc, descriptorFlags, items);
    });
  }

 protected:
  HVStaticInterface() = default;

 private:
  DispatchTable dispatch_table_;
};

}  // namespace FPWrapper
}  // namespace tangram
