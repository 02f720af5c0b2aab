// Handing the descriptor block to the host as a va_list: on Windows a va_list is a pointer to it.
#include "tangram/max3d/hv_create_descriptor.h"

#include <cstdarg>

namespace tangram {
namespace FPWrapper {

void load_descriptor_list(FPInterfaceDesc& desc, const Interface_ID& id,
                          const std::string& internalName, ClassDesc* classDesc,
                          unsigned short flags, const DescriptorList& list) {
  desc.load_descriptor(id, internalName.c_str(), 0, classDesc, flags,
                       reinterpret_cast<va_list>(const_cast<void*>(list.data())));
}

}  // namespace FPWrapper
}  // namespace tangram
