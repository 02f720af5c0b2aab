// An image file that is either written in full under its name or not there at all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace standin {

/// Writes to a temporary file beside `path`; commit() checks that every write, the flush and the
/// close succeeded and only then puts the file under `path`. A file that is not committed (a
/// failed write, a full disk, an exception on the way) is removed, so that no empty or truncated
/// image is left under the final name for anyone to take as a rendered frame.
class ImageFile {
 public:
  explicit ImageFile(const std::string& path);
  ~ImageFile();
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;

  /// Appends the bytes; a failure is remembered and fails the commit. False once anything failed.
  bool write(const void* bytes, size_t size);
  /// The write position, and moving it (for formats that go back to fill in a table).
  uint64_t position();
  bool seek(uint64_t position);

  /// Closes the file and gives it its final name: true when all of it reached the disk.
  bool commit();

  /// For the stb writers' callback: `context` is an ImageFile.
  static void append(void* context, void* bytes, int size);

 private:
  std::string path_;
  std::string temporary_;
  std::FILE* file_;
  bool failed_;
};

}  // namespace standin
