// The system's English texts for the Windows error codes the stand-in sets, as FormatMessageA gives
// them.
#include "win32/error_text.h"

#include "win32/kernel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

const std::map<DWORD, std::string>& system_texts() {
  static const std::map<DWORD, std::string> texts = {
      {ERROR_SUCCESS, "The operation completed successfully."},
      {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
      {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
      {ERROR_ACCESS_DENIED, "Access is denied."},
      {ERROR_INVALID_HANDLE, "The handle is invalid."},
      {ERROR_NOT_ENOUGH_MEMORY,
       "Not enough memory resources are available to process this command."},
      {ERROR_NO_MORE_FILES, "There are no more files."},
      {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
      {ERROR_BAD_NETPATH, "The network path was not found."},
      {ERROR_FILE_EXISTS, "The file exists."},
      {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
      {ERROR_DISK_FULL, "There is not enough space on the disk."},
      {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
      {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
  };
  return texts;
}

constexpr DWORD served_flags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

}  // namespace

DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID /*source*/, DWORD messageId, DWORD /*languageId*/,
                            LPSTR buffer, DWORD size, va_list* /*arguments*/) {
  if (flags != served_flags || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto found = system_texts().find(messageId);
  if (found == system_texts().end()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  const std::string text = found->second + "\r\n";
  const size_t blockSize = std::max<size_t>(text.size() + 1, size);
  auto* block = static_cast<char*>(std::calloc(blockSize, 1));
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  std::memcpy(block, text.c_str(), text.size() + 1);
  *reinterpret_cast<char**>(buffer) = block;
  return static_cast<DWORD>(text.size());
}

HLOCAL WINAPI LocalFree(HLOCAL block) {
  std::free(block);
  return nullptr;
}
