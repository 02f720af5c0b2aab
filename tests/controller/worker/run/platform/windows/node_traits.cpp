// The render node's differences on Windows: the system's drive letters, the job object's end.
#include "node_traits.h"

#include <windows.h>

std::string pluginNameOf(const std::filesystem::path& folder, worker::LaunchOptions&) {
  return folder.string() + "\\";
}

std::filesystem::path pluginLogFor(const std::filesystem::path&) {
  // The plug-in's own fixed name, with the system's separators.
  return "c:\\Foxglove\\logs\\3zerorEzuridu.log";
}

int statusOfAnEndedMaxsim() {
  // The exit code the worker gives the job it terminates.
  return 1;
}

std::string missingProgramReason() {
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 ERROR_FILE_NOT_FOUND, 0, text, sizeof text, nullptr);
  std::string reason = text;
  // As the worker shows a system message: without the closing full stop and line break.
  while (!reason.empty() && std::string(" .\r\n").find(reason.back()) != std::string::npos) {
    reason.pop_back();
  }
  return reason;
}
