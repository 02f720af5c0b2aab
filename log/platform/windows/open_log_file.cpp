// Opening the log on Windows: shared for reading and writing by other processes.
#include "log/log_stream.h"

#include <share.h>

void openLogFile(std::ofstream& stream) {
  stream.open(logFilePath, std::ios_base::out, _SH_DENYNO);
}
