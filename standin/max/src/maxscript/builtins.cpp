// The built-in functions: print, format, execute, gc and getCurrentException.
#include "builtins.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/excepts.h"
#include "nesting.h"

#include <strings.h>

namespace mxs {
namespace {
thread_local std::string currentException;

using Implementation = Value* (*)(Value** args, int count);

/// A built-in function: a permanent value that calls C++ code.
class Primitive : public Value {
 public:
  Primitive(const char* name, Implementation implementation)
      : Value(Permanent{}), name_(name), implementation_(implementation) {}
  Value* apply(Value** arg_list, int count) override { return implementation_(arg_list, count); }
  void sprin1(CharStream* stream) override { stream->printf("%s()", name_); }
  const char* class_name() const override { return "Primitive"; }
  const char* name() const { return name_; }

 private:
  const char* name_;
  Implementation implementation_;
};

void checkCount(const char* name, int wanted, int got) {
  if (got != wanted) throw ArgCountError(name, wanted, got);
}

CharStream* output() {
  return maxscript_thread_locals()->current_stdout;
}

// print value: its readable form and a line end to the listener; gives the value.
Value* print(Value** args, int count) {
  checkCount("print", 1, count);
  args[0]->sprin1(output());
  output()->putch('\n');
  return args[0];
}

// format text args...: the text to the listener with each % replaced by the next argument's
// plain form.
Value* format(Value** args, int count) {
  if (count < 1) throw ArgCountError("format", 1, count);
  const char* text = args[0]->to_string();
  int next = 1;
  for (const char* c = text; *c; ++c) {
    if (*c != '%') {
      output()->putch(*c);
      continue;
    }
    if (next >= count) throw RuntimeError("format: too few arguments for the format text");
    args[next++]->sprint(output());
  }
  return &ok;
}

const int executeReserve = 16;

// execute text: compiles and evaluates the text; gives its last value.
Value* execute(Value** args, int count) {
  checkCount("execute", 1, count);
  // A text may execute itself through a variable; each round nests deeper on the stack. Levels
  // are kept for parsing the text, so that such a loop ends here, with its own error.
  const mxs::NestingLevel level;
  if (level.exceeded(executeReserve)) throw RuntimeError("execute nested too deeply");
  one_value_local(stream);
  Value* result = nullptr;
  try {
    auto* source = new StringStream(args[0]->to_string());
    vl.stream = source;
    result = source->execute_vf(nullptr, 0);
  } catch (...) {
    pop_value_locals();
    throw;
  }
  pop_value_locals();
  return result;
}

// gc(): a full collection now.
Value* gc(Value**, int count) {
  checkCount("gc", 0, count);
  Collectable::gc();
  return &ok;
}

// getCurrentException(): inside a catch handler, the printed form of the error it handles.
Value* getCurrentException(Value**, int count) {
  checkCount("getCurrentException", 0, count);
  return new String(currentException);
}

Primitive builtins[] = {
    {"print", print},
    {"format", format},
    {"execute", execute},
    {"gc", gc},
    {"getCurrentException", getCurrentException},
};
}  // namespace

Value* find_builtin(const std::string& name) {
  for (Primitive& builtin : builtins) {
    if (strcasecmp(builtin.name(), name.c_str()) == 0) return &builtin;
  }
  return nullptr;
}

void set_current_exception(const std::string& printed) {
  currentException = printed;
}
}  // namespace mxs
