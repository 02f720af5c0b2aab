// Integer and Float values.
#pragma once

#ifndef STANDIN_MAXSCRPT_H
#error "include maxscrpt/maxscrpt.h first"
#endif

/// A 32-bit signed integer.
class ScripterExport Integer : public Value {
 public:
  explicit Integer(int number) : value(number) {}
  void sprin1(CharStream* stream) override;
  int to_int() override { return value; }
  float to_float() override { return static_cast<float>(value); }
  const char* class_name() const override { return "Integer"; }

  const int value;
};

/// A 32-bit float. Prints with up to six significant digits and always with a decimal point.
class ScripterExport Float : public Value {
 public:
  explicit Float(float number) : value(number) {}
  void sprin1(CharStream* stream) override;
  int to_int() override;
  float to_float() override { return value; }
  const char* class_name() const override { return "Float"; }

  const float value;
};
