// Command-line fields through Boost's escaped-list tokenizer.
#include "session/command_line.h"

#include <boost/tokenizer.hpp>

namespace moonstone {

std::vector<std::string> splitCommandLine(const std::string& line) {
  typedef boost::tokenizer<boost::escaped_list_separator<char>> Tokenizer;
  const boost::escaped_list_separator<char> separator('\\', ',', '"');
  Tokenizer tokens(line, separator);
  return std::vector<std::string>(tokens.begin(), tokens.end());
}

}  // namespace moonstone
