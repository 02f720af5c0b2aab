// The MAXScript constants: true, false, ok and undefined, each one permanent object.
#pragma once

#include "maxscript/kernel/value.h"

/// true and false.
class Boolean : public Value {
 public:
  explicit Boolean(bool state) : Value(Permanent{}), state_(state) {}
  void sprin1(CharStream* stream) override;
  bool to_bool() override { return state_; }
  const char* class_name() const override { return "BooleanClass"; }

 private:
  bool state_;
};

/// ok: the value of an expression that has no other value to give.
class Ok : public Value {
 public:
  Ok() : Value(Permanent{}) {}
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "OkClass"; }
};

/// undefined: the value of a variable never set, and of "no such thing".
class Undefined : public Value {
 public:
  Undefined() : Value(Permanent{}) {}
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "UndefinedClass"; }
};

extern Boolean true_value;
extern Boolean false_value;
extern Ok ok;
extern Undefined undefined;

/// true_value or false_value.
inline Value* bool_result(bool state) {
  return state ? static_cast<Value*>(&true_value) : &false_value;
}
