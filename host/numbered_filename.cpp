// Output file names with the frame number put in by the host.
#include "host/numbered_filename.h"

#include <max.h>

#include <bmmlib.h>

#include <stdexcept>

namespace moonstone {

std::string numberedFilename(const std::string& name, int number) {
  MCHAR numbered[MAX_PATH];
  BMMCreateNumberedFilename(name.c_str(), number, numbered);
  // The host leaves the buffer empty when the name does not fit into a path.
  if (numbered[0] == '\0' && !name.empty()) {
    throw std::runtime_error("Numbered file name too long: " + name);
  }
  return numbered;
}

}  // namespace moonstone
