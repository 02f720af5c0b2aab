// Frame numbers in file names: four digits or more, right before the extension.
#include "max.h"

#include "bmmlib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

void BMMCreateNumberedFilename(const MCHAR* namein, int frame, MCHAR* nameout) {
  if (!nameout) return;
  const std::string name = namein ? namein : "";
  // The extension is the last dot of the last path component; a dot in a folder name is not one.
  const size_t leaf = name.find_last_of("\\/");
  const size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && (leaf == std::string::npos || dot > leaf);
  const size_t cut = hasExtension ? dot : name.size();

  char digits[16];
  const long long value = frame;
  std::snprintf(digits, sizeof digits, "%s%04lld", value < 0 ? "-" : "", std::llabs(value));

  const std::string numbered = name.substr(0, cut) + digits + name.substr(cut);
  if (numbered.size() >= MAX_PATH) {
    nameout[0] = '\0';
    return;
  }
  std::memcpy(nameout, numbered.c_str(), numbered.size() + 1);
}
