// The MAXScript tokenizer: numbers, strings with escapes, names, symbols; comments are skipped.
#include "tokenizer.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/streams.h"
#include "maxscrpt/excepts.h"

#include <cctype>
#include <cstdlib>
#include <limits>
#include <strings.h>

namespace mxs {
namespace {
bool isNameStart(int c) {
  return c != EOF && (std::isalpha(c) || c == '_');
}
bool isNameChar(int c) {
  return c != EOF && (std::isalnum(c) || c == '_');
}
bool isDigit(int c) {
  return c != EOF && std::isdigit(c);
}

const char* const kTwoCharSymbols[] = {"==", "!=", "<=", ">="};
const char kOneCharSymbols[] = "()+-*/=<>.,;";
}  // namespace

bool Token::is_keyword(const char* keyword) const {
  return kind == TokenKind::Identifier && strcasecmp(text.c_str(), keyword) == 0;
}

std::string Token::describe() const {
  if (kind == TokenKind::End) return "end of script";
  if (kind == TokenKind::String) return "\"" + text + "\"";
  return text;
}

Token Tokenizer::next() {
  Token token;
  skip_space(token);
  token.start = stream_->position();
  const int c = stream_->peek_char();
  if (c == EOF) return token;
  if (isDigit(c)) {
    read_number(token);
  } else if (c == '.') {
    stream_->get_char();
    if (isDigit(stream_->peek_char())) {
      stream_->seek(token.start);
      read_number(token);
    } else {
      token.kind = TokenKind::Symbol;
      token.text = ".";
    }
  } else if (c == '"') {
    stream_->get_char();
    read_string(token, false);
  } else if (c == '@') {
    stream_->get_char();
    if (stream_->peek_char() != '"') fail_at(token.start, "@", "\"");
    stream_->get_char();
    read_string(token, true);
  } else if (isNameStart(c)) {
    token.kind = TokenKind::Identifier;
    while (isNameChar(stream_->peek_char())) token.text += static_cast<char>(stream_->get_char());
  } else {
    token.kind = TokenKind::Symbol;
    token.text = static_cast<char>(stream_->get_char());
    const int second = stream_->peek_char();
    for (const char* symbol : kTwoCharSymbols) {
      if (symbol[0] == c && symbol[1] == second) {
        token.text += static_cast<char>(stream_->get_char());
        return token;
      }
    }
    if (token.text.find_first_of(kOneCharSymbols) != 0)
      fail_at(token.start, token.text, "<factor>");
  }
  return token;
}

void Tokenizer::skip_space(Token& token) {
  for (;;) {
    const int c = stream_->peek_char();
    if (c == '\n') {
      token.newline_before = true;
      token.space_before = true;
      stream_->get_char();
    } else if (c != EOF && std::isspace(c)) {
      token.space_before = true;
      stream_->get_char();
    } else if (c == '-' || c == '/' || c == '\\') {
      const long start = stream_->position();
      stream_->get_char();
      const int second = stream_->peek_char();
      if (c == '-' && second == '-') {
        while (stream_->peek_char() != EOF && stream_->peek_char() != '\n') stream_->get_char();
      } else if (c == '/' && second == '*') {
        stream_->get_char();
        int previous = 0;
        for (int d = stream_->get_char(); d != EOF && !(previous == '*' && d == '/');
             d = stream_->get_char()) {
          if (d == '\n') token.newline_before = true;
          previous = d;
        }
        token.space_before = true;
      } else if (c == '\\' && (second == '\n' || second == '\r')) {
        // A backslash at the end of a line continues the expression on the next line.
        while (stream_->peek_char() == '\r') stream_->get_char();
        stream_->get_char();
        token.space_before = true;
      } else {
        stream_->seek(start);
        return;
      }
    } else {
      return;
    }
  }
}

void Tokenizer::read_number(Token& token) {
  bool isFloat = false;
  while (isDigit(stream_->peek_char())) token.text += static_cast<char>(stream_->get_char());
  if (stream_->peek_char() == '.') {
    isFloat = true;
    token.text += static_cast<char>(stream_->get_char());
    while (isDigit(stream_->peek_char())) token.text += static_cast<char>(stream_->get_char());
  }
  if (stream_->peek_char() == 'e' || stream_->peek_char() == 'E') {
    const long mark = stream_->position();
    std::string exponent(1, static_cast<char>(stream_->get_char()));
    if (stream_->peek_char() == '+' || stream_->peek_char() == '-') {
      exponent += static_cast<char>(stream_->get_char());
    }
    if (isDigit(stream_->peek_char())) {
      isFloat = true;
      while (isDigit(stream_->peek_char())) exponent += static_cast<char>(stream_->get_char());
      token.text += exponent;
    } else {
      stream_->seek(mark);
    }
  }
  if (isNameStart(stream_->peek_char())) {
    token.text += static_cast<char>(stream_->peek_char());
    fail_at(token.start, token.text, "<number>");
  }
  if (!isFloat) {
    const long long whole = std::strtoll(token.text.c_str(), nullptr, 10);
    // A literal too large for an integer is read as a float, as the host does.
    if (whole <= std::numeric_limits<int>::max() && token.text.size() < 12) {
      token.kind = TokenKind::Integer;
      token.int_value = static_cast<int>(whole);
      return;
    }
  }
  token.kind = TokenKind::Float;
  token.float_value = std::strtof(token.text.c_str(), nullptr);
}

void Tokenizer::read_string(Token& token, bool verbatim) {
  token.kind = TokenKind::String;
  for (;;) {
    const int c = stream_->get_char();
    if (c == EOF) fail_at(stream_->position(), "end of script", "\"");
    if (c == '"') return;
    token.text += static_cast<char>(c);
    if (c != '\\' || verbatim) {
      token.string_value += static_cast<char>(c);
      continue;
    }
    const int escaped = stream_->get_char();
    if (escaped == EOF) fail_at(stream_->position(), "end of script", "\"");
    token.text += static_cast<char>(escaped);
    switch (escaped) {
      case 'n':
        token.string_value += '\n';
        break;
      case 'r':
        token.string_value += '\r';
        break;
      case 't':
        token.string_value += '\t';
        break;
      case '"':
      case '\\':
        token.string_value += static_cast<char>(escaped);
        break;
      default:
        // Not an escape: the backslash stays, as in a Windows path.
        token.string_value += '\\';
        token.string_value += static_cast<char>(escaped);
    }
  }
}

void Tokenizer::fail(const Token& at, const std::string& expected) {
  fail_at(at.start, at.describe(), expected);
}

void Tokenizer::fail_at(long position, const std::string& where, const std::string& expected) {
  throw SyntaxError(where, expected, line_at(position));
}

std::string Tokenizer::line_at(long position) {
  // Walk back to the start of the line, then read it to its end.
  long start = position;
  while (start > 0) {
    stream_->seek(start - 1);
    if (stream_->peek_char() == '\n') break;
    --start;
  }
  stream_->seek(start);
  std::string line;
  for (int c = stream_->get_char(); c != EOF && c != '\n'; c = stream_->get_char()) {
    if (c != '\r') line += static_cast<char>(c);
  }
  return line;
}

}  // namespace mxs
