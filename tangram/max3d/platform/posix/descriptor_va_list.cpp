// Handing the descriptor block to the host as a va_list: x86-64 System V calling convention.
#include "tangram/max3d/descriptor_list.h"

#include <cstdarg>
#include <cstring>

#if !defined(__x86_64__)
#error "The descriptor list is laid out for the x86-64 System V va_list"
#endif

namespace tangram {
namespace FPWrapper {
namespace {
// The System V va_list record. With both register areas marked used up, va_arg reads every item
// from the overflow area: one 8-byte slot after another, exactly the block's layout.
struct SysVArgumentList {
  unsigned int gp_offset;
  unsigned int fp_offset;
  void* overflow_arg_area;
  void* reg_save_area;
};
constexpr unsigned int kGeneralRegistersUsed = 6 * 8;
constexpr unsigned int kVectorRegistersUsed = kGeneralRegistersUsed + 8 * 16;
}  // namespace

void pass_as_va_list(const DescriptorList& list, const std::function<void(va_list)>& use) {
  static_assert(sizeof(va_list) == sizeof(SysVArgumentList), "unexpected va_list layout");
  const SysVArgumentList record{kGeneralRegistersUsed, kVectorRegistersUsed,
                                const_cast<void*>(list.data()), nullptr};
  va_list items;
  std::memcpy(&items, &record, sizeof(record));
  use(items);
}

}  // namespace FPWrapper
}  // namespace tangram
