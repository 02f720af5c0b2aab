// The MAXScript tokenizer: reads tokens one at a time from a CharStream.
#pragma once

#include <string>

class CharStream;

namespace mxs {

enum class TokenKind { End, Integer, Float, String, Identifier, Symbol };

struct Token {
  TokenKind kind = TokenKind::End;
  /// The source text (for a symbol, the symbol; for a string, the text between the quotes).
  std::string text;
  /// The value of a string token, escapes resolved.
  std::string string_value;
  int int_value = 0;
  float float_value = 0;
  /// Stream position of the token's first character.
  long start = 0;
  /// A line end (or a comment running to one) lies between the previous token and this one.
  bool newline_before = false;
  /// White space lies between the previous token and this one.
  bool space_before = false;

  bool is_symbol(const char* symbol) const { return kind == TokenKind::Symbol && text == symbol; }
  /// An identifier equal to the keyword without regard to case.
  bool is_keyword(const char* keyword) const;
  /// How a syntax error names the token: its text, or "end of script".
  std::string describe() const;
};

/// Reads tokens from a stream. Throws SyntaxError for text that is not a token.
class Tokenizer {
 public:
  explicit Tokenizer(CharStream* stream) : stream_(stream) {}
  Token next();
  /// Raises the syntax error "at <token>, expected <expected>" with the line the token is in.
  [[noreturn]] void fail(const Token& at, const std::string& expected);

 private:
  [[noreturn]] void fail_at(long position, const std::string& where, const std::string& expected);
  void skip_space(Token& token);
  void read_number(Token& token);
  void read_string(Token& token, bool verbatim);
  std::string line_at(long position);

  CharStream* stream_;
};

}  // namespace mxs
