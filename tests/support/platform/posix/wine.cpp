// Wine detection on POSIX: a POSIX program never runs under Wine.
#include "support/wine.h"

bool runningUnderWine() {
  return false;
}
