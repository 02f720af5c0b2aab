// Standard streams on Windows: switched from the C runtime's text mode to binary mode.
#include "apps/maxsim/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

void useBinaryStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}
