// The printed forms of the MAXScript errors.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/excepts.h"

#include "maxscrpt/streams.h"

void MAXScriptException::sprin1(CharStream* stream) const {
  stream->puts(printed_.c_str());
}

RuntimeError::RuntimeError(const std::string& text)
    : MAXScriptException("-- Runtime error: " + text), text_(text) {}

RuntimeError::RuntimeError(const char* text) : RuntimeError(std::string(text ? text : "")) {}

SyntaxError::SyntaxError(const std::string& where, const std::string& expected,
                         const std::string& line)
    : MAXScriptException("-- Syntax error: at " + where + ", expected " + expected +
                         "\n--  In line: " + line) {}

TypeError::TypeError(const std::string& text) : MAXScriptException("-- Type error: " + text) {}

NoMethodError::NoMethodError(const std::string& operation, Value* value)
    : MAXScriptException("-- No \"\"" + operation + "\"\" function for " + readable_text(value)) {}

ArgCountError::ArgCountError(const std::string& function, int wanted, int got)
    : MAXScriptException("-- Argument count error: " + function + " wanted " +
                         std::to_string(wanted) + ", got " + std::to_string(got)) {}

ConversionError::ConversionError(Value* value, const std::string& type)
    : MAXScriptException("-- Unable to convert: " + readable_text(value) + " to type: " + type) {}

UnknownPropertyError::UnknownPropertyError(const std::string& property, Value* owner)
    : MAXScriptException("-- Unknown property: \"" + property + "\" in " + readable_text(owner)) {}
