// Tool-help snapshots of the modules loaded in this process.
#pragma once

#include <windows.h>

#define TH32CS_SNAPMODULE 0x00000008u
#define TH32CS_SNAPMODULE32 0x00000010u
#define MAX_MODULE_NAME32 255
#define ERROR_BAD_LENGTH 24u

/// One loaded module: the executable or a shared object. hModule is the module's base address.
struct MODULEENTRY32 {
  DWORD dwSize;
  DWORD th32ModuleID;
  DWORD th32ProcessID;
  DWORD GlblcntUsage;
  DWORD ProccntUsage;
  BYTE* modBaseAddr;
  DWORD modBaseSize;
  HMODULE hModule;
  char szModule[MAX_MODULE_NAME32 + 1];
  char szExePath[MAX_PATH];
};
typedef MODULEENTRY32* LPMODULEENTRY32;

/// Takes a snapshot of the modules of the calling process (processId 0 or the process's own id;
/// the flags must ask for TH32CS_SNAPMODULE). Returns INVALID_HANDLE_VALUE with
/// ERROR_INVALID_PARAMETER otherwise. Close the handle with CloseHandle.
HANDLE WINAPI CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
/// The snapshot's first module (the executable). entry->dwSize must be at least
/// sizeof(MODULEENTRY32), else FALSE with ERROR_BAD_LENGTH.
BOOL WINAPI Module32First(HANDLE snapshot, LPMODULEENTRY32 entry);
/// The snapshot's next module; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL WINAPI Module32Next(HANDLE snapshot, LPMODULEENTRY32 entry);
