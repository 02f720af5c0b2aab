// Handing the descriptor block to the host as a va_list: on Windows a va_list is a pointer to it.
#include "tangram/max3d/descriptor_list.h"

#include <cstdarg>

namespace tangram {
namespace FPWrapper {

void pass_as_va_list(const DescriptorList& list, const std::function<void(va_list)>& use) {
  use(reinterpret_cast<va_list>(const_cast<void*>(list.data())));
}

}  // namespace FPWrapper
}  // namespace tangram
