// HVCreateDescriptor: lists an interface's member functions and loads its descriptor into the host.
#pragma once

#include "max.h"

#include "iFnPub.h"
#include "tangram/max3d/descriptor_list.h"
#include "tangram/max3d/fp_dispatcher.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

class ClassDesc;

namespace tangram {
namespace FPWrapper {

/// Throws std::runtime_error (after writing it to the host's log as an error entry) when the ID
/// is the default one, both parts all bits set.
void reject_default_interface_id(const Interface_ID& id, const std::string& internalName);

/// Hands the finished list to the host's FPInterfaceDesc::load_descriptor as a va_list.
void load_descriptor_list(FPInterfaceDesc& desc, const Interface_ID& id,
                          const std::string& internalName, ClassDesc* classDesc,
                          unsigned short flags, const DescriptorList& list);

/// Builds the descriptor of interface class T (derived from HVStaticInterface<T, Flags>) from
/// within its constructor: each add_ call publishes a member and takes the next function ID
/// (counting from 0) unless given one; the builder's destruction loads the descriptor.
template <class T>
class HVCreateDescriptor {
 public:
  /// Throws std::runtime_error for the default Interface_ID (see reject_default_interface_id).
  HVCreateDescriptor(T* object, const Interface_ID& id, const std::string& internalName,
                     ClassDesc* classDesc)
      : object_(object), id_(id), internal_name_(internalName), class_desc_(classDesc) {
    reject_default_interface_id(id, internalName);
  }
  HVCreateDescriptor(const HVCreateDescriptor&) = delete;
  HVCreateDescriptor& operator=(const HVCreateDescriptor&) = delete;

  /// Publishes a member under the script name; its first n parameter names are published for an
  /// n-parameter member. An ID of -1 takes the next function ID; a given ID leaves the counter.
  template <class R, class... Args>
  void add_function(R (T::*member)(Args...), const std::string& scriptName,
                    const std::string& p1 = "Param1", const std::string& p2 = "Param2",
                    const std::string& p3 = "Param3", const std::string& p4 = "Param4",
                    const std::string& p5 = "Param5", const std::string& p6 = "Param6",
                    const std::string& p7 = "Param7", FunctionID id = FP_NO_FUNCTION) {
    const FunctionID fid = id == FP_NO_FUNCTION ? next_id_++ : id;
    object_->dispatch_table()[fid] = std::make_unique<FPDispatcherImpl<T, R(Args...)>>(
        fid, scriptName, std::vector<std::string>{p1, p2, p3, p4, p5, p6, p7}, member);
  }

  /// Publishes a getter as a read-only property; it takes the next function ID.
  template <class R>
  void add_read_only_property(R (T::*getter)(), const std::string& propertyName) {
    const FunctionID fid = next_id_++;
    object_->dispatch_table()[fid] = std::make_unique<FPDispatcherImpl<T, R()>>(
        fid, std::string(), std::vector<std::string>(), getter);
    properties_.push_back(Property{fid, FP_NO_FUNCTION, propertyName, FPResult<R>::code});
  }

  /// Loads the descriptor: the functions in ascending ID, then the properties, then the end
  /// marker. Nothing is loaded when the builder is destroyed by an exception.
  ~HVCreateDescriptor() noexcept(false) {
    if (std::uncaught_exceptions() > uncaught_on_entry_) return;
    DescriptorList list;
    for (auto& entry : object_->dispatch_table()) {
      if (!entry.second->script_name().empty()) entry.second->describe(list);
    }
    if (!properties_.empty()) {
      list.add_int(FP_PROPERTIES_TAG);
      for (const Property& property : properties_) {
        list.add_int(property.getter);
        list.add_int(property.setter);
        list.add_pointer(property.name.c_str());
        list.add_int(0);
        list.add_int(property.type);
      }
    }
    list.add_int(FP_END_TAG);
    load_descriptor_list(*object_, id_, internal_name_, class_desc_,
                         static_cast<unsigned short>(T::descriptor_flags), list);
  }

 private:
  struct Property {
    FunctionID getter;
    FunctionID setter;
    std::string name;
    ParamType2 type;
  };

  FunctionID next_id_ = 0;
  std::vector<Property> properties_;
  T* object_;
  Interface_ID id_;
  std::string internal_name_;
  ClassDesc* class_desc_;
  int uncaught_on_entry_ = std::uncaught_exceptions();
};

}  // namespace FPWrapper
}  // namespace tangram
