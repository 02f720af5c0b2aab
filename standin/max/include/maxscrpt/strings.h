// String: a MAXScript text value.
#pragma once

#ifndef STANDIN_MAXSCRPT_H
#error "include maxscrpt/maxscrpt.h first"
#endif

#include <string>

/// A text. Its readable form is the text in double quotes with \", \\, \n, \r and \t escapes; its
/// plain form is the text itself.
class ScripterExport String : public Value {
 public:
  /// Copies the characters; a null pointer gives an empty text.
  explicit String(const char* text);
  void sprin1(CharStream* stream) override;
  void sprint(CharStream* stream) override;
  const char* to_string() override { return text_.c_str(); }
  const char* class_name() const override { return "String"; }
  const std::string& text() const { return text_; }
  /// Writes a text in the readable form of a String.
  static void print_readable(CharStream* stream, const std::string& text);

 private:
  std::string text_;
};

/// True when the value is a String.
inline bool is_string(Value* value) {
  return dynamic_cast<String*>(value) != nullptr;
}
