// The process's table of open kernel handles: the handle is the object's address.
#include "kernel_object.h"

#include <mutex>
#include <unordered_map>

namespace standin::detail {

namespace {
std::mutex tableMutex;
std::unordered_map<HANDLE, std::unique_ptr<kernel_object>>& table() {
  // Never destroyed, so that handles closed by other static objects' destructors stay valid.
  static auto* openHandles = new std::unordered_map<HANDLE, std::unique_ptr<kernel_object>>();
  return *openHandles;
}
}  // namespace

HANDLE open_handle(std::unique_ptr<kernel_object> object) {
  const HANDLE handle = object.get();
  std::lock_guard<std::mutex> lock(tableMutex);
  table().emplace(handle, std::move(object));
  return handle;
}

kernel_object* find_handle(HANDLE handle) {
  std::lock_guard<std::mutex> lock(tableMutex);
  const auto found = table().find(handle);
  return found != table().end() ? found->second.get() : nullptr;
}

}  // namespace standin::detail

BOOL WINAPI CloseHandle(HANDLE handle) {
  std::unique_ptr<standin::detail::kernel_object> closing;
  {
    std::lock_guard<std::mutex> lock(standin::detail::tableMutex);
    auto& open = standin::detail::table();
    const auto found = open.find(handle);
    if (found != open.end()) {
      closing = std::move(found->second);
      open.erase(found);
    }
  }
  if (!closing) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
