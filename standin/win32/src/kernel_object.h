// The objects behind kernel handles, and the table of open handles that CloseHandle empties.
#pragma once

#include <windows.h>

#include <memory>

namespace standin::detail {

/// Something a HANDLE stands for; CloseHandle destroys it.
class kernel_object {
 public:
  virtual ~kernel_object() = default;
};

/// Takes the object into the table of open handles and returns its handle.
HANDLE open_handle(std::unique_ptr<kernel_object> object);

/// The open object of a handle, or null when the handle is not open.
kernel_object* find_handle(HANDLE handle);

/// The open object of the handle, or null (with ERROR_INVALID_HANDLE set) when the handle is
/// not open or stands for another kind of object. The object stays owned by the table.
template <typename Object>
Object* handle_object(HANDLE handle) {
  auto* object = dynamic_cast<Object*>(find_handle(handle));
  if (object == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

}  // namespace standin::detail
