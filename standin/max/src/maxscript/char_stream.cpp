// CharStream's common behaviour: skipping white space and comments, and formatted writing.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/streams.h"

#include "maxscrpt/parser.h"
#include "maxscrpt/excepts.h"
#include "vformat.h"

#include <cctype>
#include <cstdarg>

int CharStream::get_char() {
  return EOF;
}

int CharStream::peek_char() {
  return EOF;
}

bool CharStream::at_eos() {
  return true;
}

long CharStream::position() {
  return 0;
}

void CharStream::seek(long) {}

void CharStream::flush_whitespace() {
  for (;;) {
    const int c = peek_char();
    if (c != EOF && std::isspace(static_cast<unsigned char>(c))) {
      get_char();
      continue;
    }
    if (c != '-' && c != '/') return;
    // A comment starts with two characters; give the first back when the second does not match.
    const long start = position();
    get_char();
    const int next = peek_char();
    if (c == '-' && next == '-') {
      while (peek_char() != EOF && peek_char() != '\n') get_char();
    } else if (c == '/' && next == '*') {
      get_char();
      int previous = 0;
      for (int d = get_char(); d != EOF && !(previous == '*' && d == '/'); d = get_char()) {
        previous = d;
      }
    } else {
      seek(start);
      return;
    }
  }
}

void CharStream::putch(char) {
  throw RuntimeError("Cannot write to a stream opened for reading");
}

void CharStream::puts(const char* text) {
  for (; *text; ++text) putch(*text);
}

int CharStream::printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = mxs::vformat(format, args);
  va_end(args);
  puts(text.c_str());
  return static_cast<int>(text.size());
}

Value* CharStream::execute_vf(Value**, int) {
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

void CharStream::sprin1(CharStream* stream) {
  stream->puts("<CharStream>");
}
