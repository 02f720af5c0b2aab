// The value kinds' printed forms and conversions: Value's defaults, constants, numbers, strings.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/numbers.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/excepts.h"

#include <cmath>
#include <cstring>
#include <limits>

Boolean true_value(true);
Boolean false_value(false);
Ok ok;
Undefined undefined;

void Value::sprint(CharStream* stream) {
  sprin1(stream);
}

const char* Value::to_string() {
  throw ConversionError(this, "String");
}

int Value::to_int() {
  throw ConversionError(this, "Integer");
}

float Value::to_float() {
  throw ConversionError(this, "Float");
}

bool Value::to_bool() {
  throw ConversionError(this, "BooleanClass");
}

Value* Value::eval() {
  return this;
}

Value* Value::apply(Value**, int) {
  throw TypeError("Call needs function or class, got: " + readable_text(this));
}

std::string readable_text(Value* value) {
  StringStream text{Collectable::Permanent{}};
  value->sprin1(&text);
  return text.to_string();
}

std::string plain_text(Value* value) {
  StringStream text{Collectable::Permanent{}};
  value->sprint(&text);
  return text.to_string();
}

void Boolean::sprin1(CharStream* stream) {
  stream->puts(state_ ? "true" : "false");
}

void Ok::sprin1(CharStream* stream) {
  stream->puts("OK");
}

void Undefined::sprin1(CharStream* stream) {
  stream->puts("undefined");
}

void Integer::sprin1(CharStream* stream) {
  stream->printf("%d", value);
}

void Float::sprin1(CharStream* stream) {
  char text[64];
  std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
  stream->puts(text);
  // A float always shows that it is one: 2.0, not 2.
  if (!std::strpbrk(text, ".eni")) stream->puts(".0");
}

int Float::to_int() {
  // Out of range (or not a number) has no integer value; converting it would be undefined.
  if (!(value >= static_cast<float>(std::numeric_limits<int>::min()) &&
        value < static_cast<float>(std::numeric_limits<int>::max()))) {
    throw ConversionError(this, "Integer");
  }
  return static_cast<int>(value);
}

String::String(const char* text) : text_(text ? text : "") {}

void String::sprin1(CharStream* stream) {
  print_readable(stream, text_);
}

void String::print_readable(CharStream* stream, const std::string& text) {
  stream->putch('"');
  for (char c : text) {
    switch (c) {
      case '"':
        stream->puts("\\\"");
        break;
      case '\\':
        stream->puts("\\\\");
        break;
      case '\n':
        stream->puts("\\n");
        break;
      case '\r':
        stream->puts("\\r");
        break;
      case '\t':
        stream->puts("\\t");
        break;
      default:
        stream->putch(c);
    }
  }
  stream->putch('"');
}

void String::sprint(CharStream* stream) {
  stream->puts(text_.c_str());
}
