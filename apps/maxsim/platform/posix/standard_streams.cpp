// Standard streams on POSIX: they never translate line ends.
#include "apps/maxsim/standard_streams.h"

void useBinaryStandardStreams() {}
