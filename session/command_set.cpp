// The command set's entry. The commands themselves are not served yet: this is the entry that
// the command set fills; for now it splits the line (so that a malformed line ends the session)
// and logs the fields it received.
#include "session/command_set.h"

#include "log/log_stream.h"
#include "session/command_line.h"

void dispatchCommand(const std::string& line, tangram::win32::simple_socket&) {
  const std::vector<std::string> fields = splitCommandLine(line);
  logStream << "Fields: " << fields.size() << std::endl;
  for (const std::string& field : fields) logStream << "  " << field << std::endl;
}
