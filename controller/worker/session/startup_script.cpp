// Tokens and the daemon's start-up script.
#include "controller/worker/session/startup_script.h"

#include <random>

namespace worker {

std::string makeToken() {
  std::random_device source;
  static const char digits[] = "0123456789abcdef";
  std::string token;
  for (int i = 0; i < 32; ++i) token += digits[source() % 16];
  return token;
}

std::string startupScript(int port, const std::string& token) {
  return "if not (FoxgloveUtil.RunMoonstoneDaemon " + std::to_string(port) + " \"" + token +
         "\") do throw \"the Moonstone daemon ended with an error\"";
}

}  // namespace worker
