// The failure of a command line that cannot be understood, shared by every sub-command.
#pragma once

#include <stdexcept>

namespace controller {

/// A command line that cannot be understood; the message says what is wrong. Callers print it
/// with a pointer to the sub-command's help and exit with the usage status.
class UsageError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

}  // namespace controller
