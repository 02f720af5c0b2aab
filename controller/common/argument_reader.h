// Walking a sub-command's arguments: option names, their values, and numbers checked on the way.
#pragma once

#include "controller/common/usage_error.h"

#include <boost/lexical_cast.hpp>

#include <optional>
#include <string>
#include <vector>

namespace controller {

/// Walks the arguments one by one; an option's value is the next argument or follows "=" in the
/// same one ("--frames=1-5"). Throws UsageError for a value that is missing or malformed.
class ArgumentReader {
 public:
  /// The arguments are borrowed.
  explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  /// Moves to the next argument; false after the last.
  bool next();
  /// The current argument, or its option name before "=".
  const std::string& name() const { return name_; }
  /// The current argument as given ("--drive=R=/x" with its value).
  const std::string& raw() const { return arguments_[at_ - 1]; }
  /// True when the current argument is an option ("-x", "--name"), not a word.
  bool isOption() const { return name_.size() > 1 && name_[0] == '-'; }

  /// The current option's value: after "=", or the next argument.
  std::string value();
  /// Refuses a value given with "=" to an option that takes none.
  void noValue() const;

  /// The current option's value as a number of at least `lowest`.
  template <typename Number>
  Number number(Number lowest) {
    const std::string text = value();
    Number result{};
    try {
      result = boost::lexical_cast<Number>(text);
    } catch (const boost::bad_lexical_cast&) {
      throw UsageError(name_ + ": not a number: " + text);
    }
    if (!(result >= lowest)) {
      throw UsageError(name_ + ": must be at least " + std::to_string(lowest) + ": " + text);
    }
    return result;
  }

 private:
  const std::vector<std::string>& arguments_;
  size_t at_ = 0;
  std::string name_;
  std::optional<std::string> inlineValue_;
};

}  // namespace controller
