// The start-up switches on Windows, as 3ds Max takes them on a farm node: the script as a file
// (-U MAXScript FILE), no dialogs that would wait for a click (-silent), no splash screen (-q).
#include "controller/worker/session/startup_script.h"

#include <fstream>
#include <stdexcept>

namespace worker {

std::vector<std::string> startupSwitches(const std::string& script, const std::string& scriptFile) {
  std::ofstream out(scriptFile, std::ios::binary | std::ios::trunc);
  out << script << "\r\n";
  out.close();
  if (!out) throw std::runtime_error("cannot write the start-up script " + scriptFile);
  return {"-silent", "-q", "-U", "MAXScript", scriptFile};
}

}  // namespace worker
