// MAXScript errors: the base class and the kinds the interpreter and plug-ins raise.
#pragma once

#ifndef STANDIN_MAXSCRPT_H
#error "include maxscrpt/maxscrpt.h first"
#endif

#include <string>

class CharStream;
class Value;

/// A MAXScript error. It is not a std::exception: code that translates standard exceptions into
/// script errors lets these pass. Each kind prints itself as the listener shows it.
class ScripterExport MAXScriptException {
 public:
  virtual ~MAXScriptException() = default;
  /// Writes the error's printed form, e.g. "-- Runtime error: text".
  virtual void sprin1(CharStream* stream);
  /// The printed form as text.
  const std::string& printed() const { return printed_; }

 protected:
  explicit MAXScriptException(std::string printed) : printed_(std::move(printed)) {}

 private:
  std::string printed_;
};

/// A runtime error carrying a text; prints as "-- Runtime error: " + text. Also what `throw "text"`
/// raises in a script.
class ScripterExport RuntimeError : public MAXScriptException {
 public:
  /// Copies the text (null: empty).
  explicit RuntimeError(MCHAR* d1);
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

/// A script that does not parse: prints "-- Syntax error: at " + where + ", expected " + what,
/// then a second line "--  In line: " + the source line in which it failed.
class ScripterExport SyntaxError : public MAXScriptException {
 public:
  SyntaxError(const std::string& where, const std::string& expected, const std::string& line);
};

/// A value used where another kind is needed: "-- Type error: " + text.
class ScripterExport TypeError : public MAXScriptException {
 public:
  explicit TypeError(const std::string& text);
};

/// An operator applied to a value that has none: "-- No ""op"" function for " + the value.
class ScripterExport NoMethodError : public MAXScriptException {
 public:
  NoMethodError(const std::string& operation, Value* value);
};

/// A call with the wrong number of arguments: "-- Argument count error: f wanted n, got m".
class ScripterExport ArgCountError : public MAXScriptException {
 public:
  ArgCountError(const std::string& function, int wanted, int got);
};

/// A value that cannot be converted: "-- Unable to convert: " + the value + " to type: " + type.
class ScripterExport ConversionError : public MAXScriptException {
 public:
  ConversionError(Value* value, const std::string& type);
};

/// A property that an object does not have: "-- Unknown property: "name" in " + the object.
class ScripterExport UnknownPropertyError : public MAXScriptException {
 public:
  UnknownPropertyError(const std::string& property, Value* owner);
};
