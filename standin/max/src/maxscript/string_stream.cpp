// StringStream: a text in memory to read scripts from and print values into.
#include "maxscript/foundation/streams.h"

#include "maxscript/compiler/parser.h"
#include "maxscript/foundation/strings.h"
#include "maxscript/foundation/thread_locals.h"
#include "maxscript/kernel/constant_values.h"

StringStream::StringStream(const char* text) : text_(text ? text : "") {}

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

Value* StringStream::execute_vf(Value**, int) {
  MAXScript_TLS* locals = maxscript_thread_locals();
  three_value_locals(parser, code, result);
  vl.result = &ok;
  try {
    vl.parser = new Parser(locals->current_stdout);
    flush_whitespace();
    while (!at_eos()) {
      vl.code = static_cast<Parser*>(vl.parser)->compile(this);
      vl.result = vl.code->eval();
      flush_whitespace();
    }
  } catch (...) {
    pop_value_locals();
    throw;
  }
  pop_value_locals();
  return vl.result;
}

void StringStream::sprin1(CharStream* stream) {
  stream->puts("StringStream:");
  String::print_readable(stream, text_);
}
