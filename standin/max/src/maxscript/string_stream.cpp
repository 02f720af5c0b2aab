// StringStream: a text in memory to read scripts from and print values into.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/streams.h"

#include "maxscrpt/strings.h"

#include <algorithm>

StringStream::StringStream(MCHAR* init_string) : text_(init_string ? init_string : "") {}

StringStream::StringStream(int ilen) {
  if (ilen > 0) text_.reserve(static_cast<size_t>(ilen));
}

StringStream::StringStream(Value* init_string)
    : text_(init_string ? init_string->to_string() : "") {}

int StringStream::get_char() {
  if (read_ >= text_.size()) return EOF;
  return static_cast<unsigned char>(text_[read_++]);
}

int StringStream::peek_char() {
  if (read_ >= text_.size()) return EOF;
  return static_cast<unsigned char>(text_[read_]);
}

bool StringStream::at_eos() {
  return read_ >= text_.size();
}

void StringStream::seek(long position) {
  read_ = position < 0 ? 0 : std::min(static_cast<size_t>(position), text_.size());
}

void StringStream::puts(const char* text) {
  text_ += text;
}

void StringStream::sprin1(CharStream* stream) {
  stream->puts("StringStream:");
  String::print_readable(stream, text_);
}
