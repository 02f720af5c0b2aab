// The fixed location of the log file.
#include "log/log_stream.h"

namespace moonstone {

const char* const logFilePath = "c:/Foxglove/logs/3zerorEzuridu.log";

}  // namespace moonstone
