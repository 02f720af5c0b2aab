// Opening the log on POSIX: the Windows path goes through the drive map; files are never locked.
#include "log/log_stream.h"

#include "win32/drive_map.h"

namespace moonstone {

void openLogFile(std::ofstream& stream) {
  stream.open(standin::posix_path(logFilePath), std::ios_base::out);
}

}  // namespace moonstone
