// Thread-local storage slots over a process-wide slot table and a C++ thread_local value array.
#include <windows.h>

#include <mutex>
#include <vector>

namespace {
// Slots are numbered from 0; a slot's generation changes when it is freed, so that a thread's
// stale value from before TlsFree reads as null after the index is handed out again.
constexpr DWORD kSlotCount = 1088;  // the number of slots a Windows process has

struct SlotTable {
  std::mutex lock;
  bool reserved[kSlotCount] = {};
  unsigned generation[kSlotCount] = {};
};

SlotTable& slots() {
  static SlotTable table;
  return table;
}

struct ThreadValue {
  unsigned generation = 0;
  LPVOID value = nullptr;
};
thread_local std::vector<ThreadValue> threadValues;

// The slot's current generation, or false when the index is not reserved.
bool reservedGeneration(DWORD index, unsigned& generation) {
  if (index >= kSlotCount) return false;
  SlotTable& table = slots();
  std::lock_guard<std::mutex> hold(table.lock);
  if (!table.reserved[index]) return false;
  generation = table.generation[index];
  return true;
}
}  // namespace

DWORD WINAPI TlsAlloc() {
  SlotTable& table = slots();
  std::lock_guard<std::mutex> hold(table.lock);
  for (DWORD index = 0; index < kSlotCount; ++index) {
    if (!table.reserved[index]) {
      table.reserved[index] = true;
      SetLastError(ERROR_SUCCESS);
      return index;
    }
  }
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return TLS_OUT_OF_INDEXES;
}

BOOL WINAPI TlsFree(DWORD index) {
  SlotTable& table = slots();
  std::lock_guard<std::mutex> hold(table.lock);
  if (index >= kSlotCount || !table.reserved[index]) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  table.reserved[index] = false;
  ++table.generation[index];
  return TRUE;
}

LPVOID WINAPI TlsGetValue(DWORD index) {
  unsigned generation = 0;
  if (!reservedGeneration(index, generation)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  if (index >= threadValues.size() || threadValues[index].generation != generation) return nullptr;
  return threadValues[index].value;
}

BOOL WINAPI TlsSetValue(DWORD index, LPVOID value) {
  unsigned generation = 0;
  if (!reservedGeneration(index, generation)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (index >= threadValues.size()) threadValues.resize(index + 1);
  threadValues[index] = ThreadValue{generation, value};
  return TRUE;
}
