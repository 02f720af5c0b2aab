// Files and folders by Windows name through the Windows file functions.
#include "tangram/files/file_system.h"

#include "tangram/files/file_names.h"

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace tangram::files {

bool file_exists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_NETPATH)
    return false;
  throw std::runtime_error("file_exists: Could not get the file attributes of \"" + path +
                           "\": " + last_error_message());
}

void make_directories(std::string folder) {
  if (folder.empty()) return;
  if (folder.back() == '\\' || folder.back() == '/') folder.pop_back();
  const std::string parent = parent_directory(folder);
  // Only a root has a parent that is not shorter; there the walk stops.
  if (parent.size() < folder.size()) {
    make_directories(parent);
    CreateDirectoryA(folder.c_str(), nullptr);
  }
}

std::string last_error_message() {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<LPSTR>(&text), 0, nullptr);
  const std::unique_ptr<char, HLOCAL(WINAPI*)(HLOCAL)> block(text, LocalFree);
  if (length == 0 || text == nullptr) return std::string();
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message;
}

}  // namespace tangram::files
