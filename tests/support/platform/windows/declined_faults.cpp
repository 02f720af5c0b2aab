// Declined faults on Windows: the exception ends the host with its code as the exit code.
#include "support/declined_faults.h"

void letDeclinedFaultsEndTheHost() {}
