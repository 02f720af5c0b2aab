// The function-publishing descriptor list block and its growth rule.
#include "tangram/max3d/descriptor_list.h"

#include <cstdint>
#include <cstring>

namespace tangram {
namespace FPWrapper {
namespace {
constexpr size_t kSlot = sizeof(void*);
constexpr size_t kReserveBeforeInteger = 20;
constexpr size_t kReserveBeforePointer = kSlot == 8 ? 24 : 20;
}  // namespace

DescriptorList::DescriptorList()
    : block_(new unsigned char[initial_size]()), capacity_(initial_size) {}

void DescriptorList::add_int(int value) {
  make_room(kReserveBeforeInteger);
  const intptr_t widened = value;
  std::memcpy(block_.get() + used_, &widened, kSlot);
  used_ += kSlot;
}

void DescriptorList::add_pointer(const void* pointer) {
  make_room(kReserveBeforePointer);
  std::memcpy(block_.get() + used_, &pointer, kSlot);
  used_ += kSlot;
}

void DescriptorList::make_room(size_t reserve) {
  if (capacity_ - used_ >= reserve) return;
  const size_t grown = capacity_ * 3 / 2;
  std::unique_ptr<unsigned char[]> bigger(new unsigned char[grown]());
  std::memcpy(bigger.get(), block_.get(), used_);
  block_ = std::move(bigger);
  capacity_ = grown;
}

}  // namespace FPWrapper
}  // namespace tangram
