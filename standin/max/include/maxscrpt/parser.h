// The MAXScript parser: compiles source text from a CharStream into code that evaluates.
#pragma once

#ifndef STANDIN_MAXSCRPT_H
#error "include maxscrpt/maxscrpt.h first"
#endif

#include <memory>

class CharStream;

namespace mxs {
struct Node;
}

/// Compiled code of one expression; `eval()` runs it on the calling thread.
class ScripterExport CodeTree : public Value {
 public:
  explicit CodeTree(std::unique_ptr<mxs::Node> root);
  ~CodeTree() override;
  Value* eval() override;
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "CodeTree"; }

 private:
  std::unique_ptr<mxs::Node> root_;
};

/// Compiles MAXScript. `errout` is the stream for the parser's messages.
class ScripterExport Parser : public Value {
 public:
  explicit Parser(CharStream* errout) : errout_(errout) {}
  /// Compiles the next expression of the stream, with the separators (";" and line ends) that
  /// follow it, and leaves the stream just before the next expression. Throws a SyntaxError
  /// naming the token and line where the text fails to parse. At the end of the stream the code
  /// gives ok.
  Value* compile(CharStream* stream);
  void gc_trace() override;
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "Parser"; }

 private:
  CharStream* errout_;
};
