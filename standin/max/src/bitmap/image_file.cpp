// Image files written in full or not at all: a temporary file, every write checked, a rename.
#include "bitmap/image_file.h"

#include "maxsim_state.h"

#include <atomic>
#include <filesystem>
#include <system_error>

namespace standin {

namespace {
std::atomic<bool> dropNextFile{false};
}  // namespace

void drop_next_image_file() {
  dropNextFile = true;
}

ImageFile::ImageFile(const std::string& path)
    : path_(path),
      temporary_(path + ".part"),
      file_(std::fopen(temporary_.c_str(), "wb")),
      failed_(file_ == nullptr) {}

ImageFile::~ImageFile() {
  if (!file_) return;
  std::fclose(file_);
  std::remove(temporary_.c_str());
}

bool ImageFile::write(const void* bytes, size_t size) {
  if (!failed_ && size > 0 && std::fwrite(bytes, 1, size, file_) != size) failed_ = true;
  return !failed_;
}

uint64_t ImageFile::position() {
  if (failed_) return 0;
  const long at = std::ftell(file_);
  if (at < 0) failed_ = true;
  return at < 0 ? 0 : static_cast<uint64_t>(at);
}

bool ImageFile::seek(uint64_t position) {
  if (!failed_ && std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) failed_ = true;
  return !failed_;
}

bool ImageFile::commit() {
  if (!file_) return false;
  // Buffered bytes meet a full disk only when they are flushed, and some file systems report
  // it only when the file is closed: both results count.
  if (std::fflush(file_) != 0) failed_ = true;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  if (dropNextFile.exchange(false)) {
    std::remove(temporary_.c_str());
    return true;
  }
  std::error_code error;
  if (!failed_) std::filesystem::rename(temporary_, path_, error);
  if (failed_ || error) {
    std::remove(temporary_.c_str());
    return false;
  }
  return true;
}

void ImageFile::append(void* context, void* bytes, int size) {
  static_cast<ImageFile*>(context)->write(bytes, static_cast<size_t>(size));
}

}  // namespace standin
