// The terminal on standard output, asked through isatty and TIOCGWINSZ.
#include "controller/worker/display/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace worker {

bool outputIsTerminal() {
  return isatty(STDOUT_FILENO) == 1;
}

int terminalColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace worker
