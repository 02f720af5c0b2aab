// Following an OpenEXR file's layout (magic number, version, header attributes, offset table,
// pixel blocks) far enough to see whether it ends early.
#include "controller/worker/images/exr_extent.h"

#include <cstdint>

namespace worker {

namespace {

constexpr uint64_t tiledFlag = 0x200;
constexpr uint64_t deepFlag = 0x800;
constexpr uint64_t multiPartFlag = 0x1000;

/// Reads a file's bytes from a position on, little-endian as OpenEXR stores numbers; each read
/// fails, leaving the position, when the bytes end first.
class Cursor {
 public:
  Cursor(const std::string& bytes, uint64_t position) : bytes_(bytes), position_(position) {}

  uint64_t position() const { return position_; }
  bool skip(uint64_t count) {
    if (position_ > bytes_.size() || bytes_.size() - position_ < count) return false;
    position_ += count;
    return true;
  }
  bool number(int width, uint64_t& value) {
    const uint64_t start = position_;
    if (!skip(static_cast<uint64_t>(width))) return false;
    value = 0;
    for (int i = width - 1; i >= 0; --i) {
      value =
          value << 8 | static_cast<unsigned char>(bytes_[index(start) + static_cast<size_t>(i)]);
    }
    return true;
  }
  /// A name ended by a zero byte.
  bool text(std::string& value) {
    if (position_ > bytes_.size()) return false;
    const size_t end = bytes_.find('\0', index(position_));
    if (end == std::string::npos) return false;
    value = bytes_.substr(index(position_), end - index(position_));
    position_ = end + 1;
    return true;
  }

 private:
  /// A position inside the bytes (where the checks above put it) as the string's index.
  static size_t index(uint64_t position) { return static_cast<size_t>(position); }

  const std::string& bytes_;
  uint64_t position_;
};

/// The scan lines in one block of pixels under each compression (by its number in the header).
uint64_t linesPerBlock(uint64_t compression) {
  switch (compression) {
    case 3:  // ZIP
    case 5:  // PXR24
      return 16;
    case 4:  // PIZ
    case 6:  // B44
    case 7:  // B44A
    case 8:  // DWAA
      return 32;
    case 9:  // DWAB
      return 256;
    default:  // none, RLE, ZIPS
      return 1;
  }
}

int64_t signedNumber(uint64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}  // namespace

bool exrEndsEarly(const std::string& file) {
  Cursor at(file, 0);
  uint64_t version = 0;
  if (!at.skip(4) || !at.number(4, version)) return true;
  if (version & (deepFlag | multiPartFlag)) return false;

  int64_t firstLine = 0;
  int64_t lastLine = -1;
  uint64_t compression = 0;
  uint64_t blocks = 0;
  bool blocksGiven = false;
  // Attributes (name, type, size, value) up to the empty name that closes the header.
  for (;;) {
    std::string name;
    std::string type;
    uint64_t size = 0;
    if (!at.text(name)) return true;
    if (name.empty()) break;
    if (!at.text(type) || !at.number(4, size)) return true;
    Cursor value(file, at.position());
    if (!at.skip(size)) return true;
    uint64_t number = 0;
    if (name == "dataWindow" && size == 16) {
      value.skip(4);
      value.number(4, number);
      firstLine = signedNumber(number);
      value.skip(4);
      value.number(4, number);
      lastLine = signedNumber(number);
    } else if (name == "compression" && size == 1) {
      value.number(1, compression);
    } else if (name == "chunkCount" && size == 4) {
      value.number(4, blocks);
      blocksGiven = true;
    }
  }
  if (version & tiledFlag) return false;

  if (!blocksGiven) {
    const uint64_t lines =
        lastLine >= firstLine ? static_cast<uint64_t>(lastLine - firstLine) + 1 : 0;
    blocks = (lines + linesPerBlock(compression) - 1) / linesPerBlock(compression);
  }
  Cursor table(file, at.position());
  if (!at.skip(8 * blocks)) return true;
  const uint64_t tableEnd = at.position();
  for (uint64_t i = 0; i < blocks; ++i) {
    uint64_t offset = 0;
    table.number(8, offset);
    if (offset < tableEnd) return false;
    // A block: its first line, the size of its data, the data.
    Cursor block(file, offset);
    uint64_t size = 0;
    if (!block.skip(4) || !block.number(4, size) || !block.skip(size)) return true;
  }
  return false;
}

}  // namespace worker
