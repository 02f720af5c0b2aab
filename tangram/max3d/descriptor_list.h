// The function-publishing descriptor list: items laid out as a variable-argument list in a block.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <memory>

namespace tangram {
namespace FPWrapper {

/// A growable memory block holding descriptor items as the platform's va_list lays out
/// variable arguments: one pointer-sized slot per item, integers widened into their slot,
/// pointers stored as they are. The block starts at 1024 bytes and grows to 3/2 of its size
/// (content kept) when, before an item is written, fewer than 20 bytes remain (24 before a
/// pointer item where slots are 8 bytes wide).
class DescriptorList {
 public:
  static constexpr size_t initial_size = 1024;

  DescriptorList();
  void add_int(int value);
  void add_pointer(const void* pointer);

  /// The first slot.
  const void* data() const { return block_.get(); }
  /// Bytes written.
  size_t size() const { return used_; }
  /// Bytes in the block.
  size_t capacity() const { return capacity_; }

 private:
  void make_room(size_t reserve);

  std::unique_ptr<unsigned char[]> block_;
  size_t capacity_;
  size_t used_ = 0;
};

/// Calls `use` with the list's items as a va_list (the platform's own layout of variable
/// arguments), for the host's FPInterfaceDesc::load_descriptor.
void pass_as_va_list(const DescriptorList& list, const std::function<void(va_list)>& use);

}  // namespace FPWrapper
}  // namespace tangram
