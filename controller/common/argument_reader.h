// Walking a sub-command's arguments: option names, their values, and numbers checked on the way.
#pragma once

#include "controller/common/usage_error.h"

#include <boost/lexical_cast.hpp>

#include <limits>
#include <optional>
#include <sstream>
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

  /// The current option's value: after "=", or the next argument. A next argument that is an
  /// option ("--frames --work-dir x") is refused: the value was forgotten.
  std::string value();
  /// The same for an option whose value may itself look like an option (an argument passed on
  /// to another program).
  std::string anyValue();
  /// Refuses a value given with "=" to an option that takes none.
  void noValue() const;

  /// The current option's value as a number from `lowest` to `highest`; a value that is no such
  /// number is refused with a message naming the option, the range and the value.
  template <typename Number>
  Number number(Number lowest, Number highest = std::numeric_limits<Number>::max()) {
    const std::string text = value();
    Number result{};
    bool parsed = true;
    try {
      result = boost::lexical_cast<Number>(text);
    } catch (const boost::bad_lexical_cast&) {
      parsed = false;
    }
    if (!parsed || !(result >= lowest) || !(result <= highest)) {
      throw UsageError(name_ + " needs " + rangeText(lowest, highest) + ", got: " + text);
    }
    return result;
  }

 private:
  /// "a whole number from 0 to 2147483647", "a number of at least 0": whole numbers always name
  /// both ends, since the type's own limit may be the one passed.
  template <typename Number>
  static std::string rangeText(Number lowest, Number highest) {
    if (std::numeric_limits<Number>::is_integer)
      return "a whole number from " + numberText(lowest) + " to " + numberText(highest);
    const bool bounded = highest != std::numeric_limits<Number>::max();
    const bool unbounded = lowest == std::numeric_limits<Number>::lowest();
    if (unbounded && !bounded) return "a number";
    if (!bounded) return "a number of at least " + numberText(lowest);
    if (unbounded) return "a number of at most " + numberText(highest);
    return "a number from " + numberText(lowest) + " to " + numberText(highest);
  }
  template <typename Number>
  static std::string numberText(Number number) {
    std::ostringstream text;
    text << number;
    return text.str();
  }

  const std::vector<std::string>& arguments_;
  size_t at_ = 0;
  std::string name_;
  std::optional<std::string> inlineValue_;
};

}  // namespace controller
