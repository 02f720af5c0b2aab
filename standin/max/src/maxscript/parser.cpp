// The MAXScript parser: recursive descent from tokens to a syntax tree, one expression per compile.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/parser.h"

#include "ast.h"
#include "maxscrpt/streams.h"
#include "nesting.h"
#include "tokenizer.h"

#include <algorithm>
#include <cctype>

namespace mxs {
namespace {

std::string lower(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

const char* const kReservedWords[] = {"if",    "then",  "else", "do", "try", "catch",
                                      "throw", "local", "and",  "or", "not"};

class Grammar {
 public:
  explicit Grammar(CharStream* stream) : tokens_(stream), stream_(stream) { advance(); }

  /// One top-level expression and the separators after it; the stream is left at the start of
  /// the next expression.
  NodePtr compile_one() {
    while (next_.is_symbol(";")) advance();
    NodePtr code;
    if (next_.kind != TokenKind::End) {
      code = statement();
      if (next_.kind != TokenKind::End && !next_.is_symbol(";") && !next_.newline_before) {
        tokens_.fail(next_, "<end of expression>");
      }
      while (next_.is_symbol(";")) advance();
    }
    // The token read ahead belongs to the next compile: hand it back.
    stream_->seek(next_.start);
    return code;
  }

 private:
  void advance() { next_ = tokens_.next(); }

  Token take() {
    Token taken = next_;
    advance();
    return taken;
  }

  void expect_keyword(const char* keyword) {
    if (!next_.is_keyword(keyword)) tokens_.fail(next_, keyword);
    advance();
  }

  bool reserved(const Token& token) const {
    for (const char* word : kReservedWords) {
      if (token.is_keyword(word)) return true;
    }
    return false;
  }

  NodePtr statement() {
    if (!next_.is_keyword("local")) return expression();
    advance();
    if (next_.kind != TokenKind::Identifier || reserved(next_)) tokens_.fail(next_, "<name>");
    std::string name = lower(take().text);
    NodePtr value;
    if (next_.is_symbol("=")) {
      advance();
      value = expression();
    }
    return std::make_unique<LocalDecl>(std::move(name), std::move(value));
  }

  // Enters one more level of nested expressions; past the budget the text is refused here
  // rather than recursing further.
  void check_nesting(const NestingLevel& level) {
    if (level.exceeded()) tokens_.fail(next_, "<an expression nested less deeply>");
  }

  // One more operator of a chain; past the budget the text is refused here.
  void extend_chain(ChainLevels& chain) {
    if (chain.add()) tokens_.fail(next_, "<an expression nested less deeply>");
  }

  NodePtr expression() {
    const NestingLevel level;
    check_nesting(level);
    if (next_.is_keyword("if")) {
      advance();
      NodePtr condition = expression();
      if (next_.is_keyword("do")) {
        advance();
        return std::make_unique<IfNode>(std::move(condition), expression(), nullptr);
      }
      expect_keyword("then");
      NodePtr thenBranch = expression();
      NodePtr elseBranch;
      if (next_.is_keyword("else")) {
        advance();
        elseBranch = expression();
      }
      return std::make_unique<IfNode>(std::move(condition), std::move(thenBranch),
                                      std::move(elseBranch));
    }
    if (next_.is_keyword("try")) {
      advance();
      NodePtr body = expression();
      expect_keyword("catch");
      return std::make_unique<TryNode>(std::move(body), expression());
    }
    if (next_.is_keyword("throw")) {
      advance();
      return std::make_unique<ThrowNode>(expression());
    }
    NodePtr target = logical_or();
    if (!next_.is_symbol("=") || next_.newline_before) return target;
    const Token equals = take();
    if (auto* variable = dynamic_cast<VariableRef*>(target.get())) {
      return std::make_unique<AssignVariable>(variable->name, expression());
    }
    if (auto* property = dynamic_cast<PropertyRef*>(target.get())) {
      return std::make_unique<AssignProperty>(std::move(property->object), property->name,
                                              expression());
    }
    tokens_.fail(equals, "<end of expression>");
  }

  NodePtr logical_or() {
    ChainLevels chain;
    NodePtr left = logical_and();
    while (next_.is_keyword("or")) {
      extend_chain(chain);
      advance();
      left = std::make_unique<LogicalOp>(false, std::move(left), logical_and());
    }
    return left;
  }

  NodePtr logical_and() {
    ChainLevels chain;
    NodePtr left = logical_not();
    while (next_.is_keyword("and")) {
      extend_chain(chain);
      advance();
      left = std::make_unique<LogicalOp>(true, std::move(left), logical_not());
    }
    return left;
  }

  NodePtr logical_not() {
    if (!next_.is_keyword("not")) return comparison();
    const NestingLevel level;
    check_nesting(level);
    advance();
    return std::make_unique<NotOp>(logical_not());
  }

  NodePtr comparison() {
    NodePtr left = sum();
    for (const char* op : {"==", "!=", "<", ">", "<=", ">="}) {
      if (next_.is_symbol(op) && !next_.newline_before) {
        advance();
        return std::make_unique<BinaryOp>(op, std::move(left), sum());
      }
    }
    return left;
  }

  NodePtr sum() {
    ChainLevels chain;
    NodePtr left = product();
    // An operator at the start of a line begins a new expression rather than continuing this one.
    while ((next_.is_symbol("+") || next_.is_symbol("-")) && !next_.newline_before) {
      extend_chain(chain);
      std::string op = take().text;
      left = std::make_unique<BinaryOp>(op, std::move(left), product());
    }
    return left;
  }

  NodePtr product() {
    ChainLevels chain;
    NodePtr left = unary();
    while ((next_.is_symbol("*") || next_.is_symbol("/")) && !next_.newline_before) {
      extend_chain(chain);
      std::string op = take().text;
      left = std::make_unique<BinaryOp>(op, std::move(left), unary());
    }
    return left;
  }

  NodePtr unary() {
    if (next_.is_symbol("-")) {
      const NestingLevel level;
      check_nesting(level);
      advance();
      return std::make_unique<Negate>(unary());
    }
    return call();
  }

  bool starts_operand(const Token& token) const {
    switch (token.kind) {
      case TokenKind::Integer:
      case TokenKind::Float:
      case TokenKind::String:
        return true;
      case TokenKind::Identifier:
        return !reserved(token);
      case TokenKind::Symbol:
        return token.text == "(";
      case TokenKind::End:
        break;
    }
    return false;
  }

  // "f -1": a minus sign after a blank and directly before a number is that number's sign.
  bool starts_negative_literal() {
    if (!next_.is_symbol("-") || !next_.space_before) return false;
    // The stream stands just after the minus sign.
    const int after = stream_->peek_char();
    return after != EOF && (std::isdigit(after) || after == '.');
  }

  NodePtr call() {
    NodePtr head = operand();
    if (next_.newline_before) return head;
    if (next_.is_symbol("(") && empty_parentheses()) {
      return std::make_unique<Call>(std::move(head), std::vector<NodePtr>());
    }
    std::vector<NodePtr> args;
    for (;;) {
      if (next_.newline_before) break;
      if (starts_operand(next_)) {
        args.push_back(operand());
      } else if (starts_negative_literal()) {
        advance();
        args.push_back(std::make_unique<Negate>(operand()));
      } else {
        break;
      }
    }
    if (args.empty()) return head;
    return std::make_unique<Call>(std::move(head), std::move(args));
  }

  // After "(": true (and both consumed) when ")" follows at once.
  bool empty_parentheses() {
    const Token open = next_;
    advance();
    if (next_.is_symbol(")")) {
      advance();
      return true;
    }
    // Not "()": read the parenthesis again as the start of an argument.
    stream_->seek(open.start);
    advance();
    return false;
  }

  NodePtr operand() {
    ChainLevels chain;
    NodePtr value = factor();
    while (next_.is_symbol(".") && !next_.space_before) {
      extend_chain(chain);
      advance();
      if (next_.kind != TokenKind::Identifier || next_.space_before) tokens_.fail(next_, "<name>");
      value = std::make_unique<PropertyRef>(std::move(value), take().text);
    }
    return value;
  }

  NodePtr factor() {
    const Token token = next_;
    switch (token.kind) {
      case TokenKind::Integer:
        advance();
        return std::make_unique<IntegerLiteral>(token.int_value);
      case TokenKind::Float:
        advance();
        return std::make_unique<FloatLiteral>(token.float_value);
      case TokenKind::String:
        advance();
        return std::make_unique<StringLiteral>(token.string_value);
      case TokenKind::Identifier:
        if (reserved(token)) break;
        advance();
        if (token.is_keyword("true")) return std::make_unique<ConstantNode>(&true_value);
        if (token.is_keyword("false")) return std::make_unique<ConstantNode>(&false_value);
        if (token.is_keyword("ok")) return std::make_unique<ConstantNode>(&ok);
        if (token.is_keyword("undefined")) return std::make_unique<ConstantNode>(&undefined);
        return std::make_unique<VariableRef>(lower(token.text));
      case TokenKind::Symbol:
        if (token.text == "(") return block();
        break;
      case TokenKind::End:
        break;
    }
    tokens_.fail(token, "<factor>");
  }

  NodePtr block() {
    advance();
    auto node = std::make_unique<Block>();
    for (;;) {
      while (next_.is_symbol(";")) advance();
      if (next_.is_symbol(")")) break;
      if (next_.kind == TokenKind::End) tokens_.fail(next_, ")");
      node->body.push_back(statement());
      if (!next_.is_symbol(")") && !next_.is_symbol(";") && !next_.newline_before) {
        tokens_.fail(next_, ")");
      }
    }
    advance();
    return node;
  }

  Tokenizer tokens_;
  CharStream* stream_;
  Token next_;
};

}  // namespace
}  // namespace mxs

Value* Parser::compile(CharStream* stream) {
  mxs::Grammar grammar(stream);
  return new CodeTree(grammar.compile_one());
}

void Parser::gc_trace() {
  if (mark() && errout_) errout_->gc_trace();
}

void Parser::sprin1(CharStream* stream) {
  stream->puts("<Parser>");
}
