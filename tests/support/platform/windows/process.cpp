// Test helper on Windows: starts a program with CreateProcess, its streams redirected to files.
#include "support/child_process.h"
#include "support/platform/windows/spawn_child.h"

namespace {

// One argument quoted as the C runtime's command-line parser reads it back: backslashes are
// literal except before a quote, where they and the quote are escaped.
std::string quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string text = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    text.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    text += c;
  }
  text.append(backslashes * 2, '\\');
  return text + "\"";
}

// A file handle that the child inherits.
HANDLE inheritable(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

HANDLE spawnChild(const std::string& program, const std::vector<std::string>& args,
                  const std::string& inPath, const std::string& outPath, const std::string& errPath,
                  DWORD* id) {
  std::string commandLine = quoted(program);
  for (const std::string& arg : args) commandLine += " " + quoted(arg);

  HANDLE in = inheritable(inPath, false);
  HANDLE out = inheritable(outPath, true);
  HANDLE err = errPath.empty() ? out : inheritable(errPath, true);
  HANDLE child = nullptr;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
      CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    child = process.hProcess;
    *id = process.dwProcessId;
  }
  // The child holds its own copies of the streams.
  for (HANDLE handle : {in, out}) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  if (err != out && err != INVALID_HANDLE_VALUE) CloseHandle(err);
  return child;
}

int runChild(const std::string& program, const std::vector<std::string>& args,
             const std::string& inPath, const std::string& outPath, const std::string& errPath) {
  DWORD id = 0;
  HANDLE child = spawnChild(program, args, inPath, outPath, errPath, &id);
  if (!child) return -1;
  int status = -1;
  WaitForSingleObject(child, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(child, &code)) status = static_cast<int>(code);
  CloseHandle(child);
  return status;
}
