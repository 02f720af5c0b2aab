// Opening the log on Windows: shared for reading and writing by other processes.
#include "log/log_stream.h"

#if defined(_MSC_VER)
#include <share.h>
#endif

namespace moonstone {

#if defined(_MSC_VER)
void openLogFile(std::ofstream& stream) {
  stream.open(logFilePath, std::ios_base::out, _SH_DENYNO);
}
#else
// The mingw runtime opens files through the C runtime's fopen, which shares them for reading and
// writing already; its streams have no overload taking a sharing mode.
void openLogFile(std::ofstream& stream) {
  stream.open(logFilePath, std::ios_base::out);
}
#endif

}  // namespace moonstone
