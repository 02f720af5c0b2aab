// Splitting "--name=value" and taking option values from the arguments.
#include "controller/common/argument_reader.h"

namespace controller {

bool ArgumentReader::next() {
  if (at_ >= arguments_.size()) return false;
  const std::string& argument = arguments_[at_++];
  const size_t equals = argument.find('=');
  if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
    name_ = argument.substr(0, equals);
    inlineValue_ = argument.substr(equals + 1);
  } else {
    name_ = argument;
    inlineValue_.reset();
  }
  return true;
}

std::string ArgumentReader::value() {
  // "--frames --work-dir x" forgot the value: the next option is not one.
  if (!inlineValue_ && at_ < arguments_.size() && arguments_[at_].compare(0, 2, "--") == 0 &&
      arguments_[at_].size() > 2)
    throw UsageError(name_ + " needs a value, got the option " + arguments_[at_]);
  return anyValue();
}

std::string ArgumentReader::anyValue() {
  if (inlineValue_) return *inlineValue_;
  if (at_ >= arguments_.size()) throw UsageError(name_ + " needs a value");
  return arguments_[at_++];
}

void ArgumentReader::noValue() const {
  if (inlineValue_) throw UsageError(name_ + " takes no value");
}

}  // namespace controller
