// The syntax tree that the parser builds and the evaluator runs.
#pragma once

#include "context.h"

#include <memory>
#include <string>
#include <vector>

class Value;

namespace mxs {

struct Node {
  virtual ~Node() = default;
  /// Evaluates the node. The result is reachable only until the next evaluation step: a caller
  /// that evaluates anything else first must hold it (see Held).
  virtual Value* eval(Context& context) = 0;
};
using NodePtr = std::unique_ptr<Node>;

struct IntegerLiteral : Node {
  explicit IntegerLiteral(int v) : value(v) {}
  Value* eval(Context& context) override;
  int value;
};

struct FloatLiteral : Node {
  explicit FloatLiteral(float v) : value(v) {}
  Value* eval(Context& context) override;
  float value;
};

struct StringLiteral : Node {
  explicit StringLiteral(std::string v) : value(std::move(v)) {}
  Value* eval(Context& context) override;
  std::string value;
};

/// true, false, ok or undefined.
struct ConstantNode : Node {
  explicit ConstantNode(Value* v) : value(v) {}
  Value* eval(Context&) override { return value; }
  Value* value;
};

/// A name: a local of a running block, a global variable, a core interface or a built-in
/// function, in that order; undefined when none has the name.
struct VariableRef : Node {
  explicit VariableRef(std::string lowerName) : name(std::move(lowerName)) {}
  Value* eval(Context& context) override;
  std::string name;
};

/// object.name
struct PropertyRef : Node {
  PropertyRef(NodePtr o, std::string n) : object(std::move(o)), name(std::move(n)) {}
  Value* eval(Context& context) override;
  NodePtr object;
  std::string name;
};

/// name = value: the innermost local of that name, else a global.
struct AssignVariable : Node {
  AssignVariable(std::string n, NodePtr v) : name(std::move(n)), value(std::move(v)) {}
  Value* eval(Context& context) override;
  std::string name;
  NodePtr value;
};

/// object.name = value
struct AssignProperty : Node {
  AssignProperty(NodePtr o, std::string n, NodePtr v)
      : object(std::move(o)), name(std::move(n)), value(std::move(v)) {}
  Value* eval(Context& context) override;
  NodePtr object;
  std::string name;
  NodePtr value;
};

/// local name [= value]: a new local of the running block (a global at the top level).
struct LocalDecl : Node {
  LocalDecl(std::string n, NodePtr v) : name(std::move(n)), value(std::move(v)) {}
  Value* eval(Context& context) override;
  std::string name;
  NodePtr value;  // null: undefined
};

/// + - * / and the comparisons.
struct BinaryOp : Node {
  BinaryOp(std::string o, NodePtr l, NodePtr r)
      : op(std::move(o)), left(std::move(l)), right(std::move(r)) {}
  Value* eval(Context& context) override;
  std::string op;
  NodePtr left;
  NodePtr right;
};

/// and / or, evaluating the right side only when needed.
struct LogicalOp : Node {
  LogicalOp(bool isAnd, NodePtr l, NodePtr r)
      : is_and(isAnd), left(std::move(l)), right(std::move(r)) {}
  Value* eval(Context& context) override;
  bool is_and;
  NodePtr left;
  NodePtr right;
};

struct NotOp : Node {
  explicit NotOp(NodePtr o) : operand(std::move(o)) {}
  Value* eval(Context& context) override;
  NodePtr operand;
};

struct Negate : Node {
  explicit Negate(NodePtr o) : operand(std::move(o)) {}
  Value* eval(Context& context) override;
  NodePtr operand;
};

struct IfNode : Node {
  IfNode(NodePtr c, NodePtr t, NodePtr e)
      : condition(std::move(c)), then_branch(std::move(t)), else_branch(std::move(e)) {}
  Value* eval(Context& context) override;
  NodePtr condition;
  NodePtr then_branch;
  NodePtr else_branch;  // null: undefined when the condition is false
};

struct TryNode : Node {
  TryNode(NodePtr b, NodePtr h) : body(std::move(b)), handler(std::move(h)) {}
  Value* eval(Context& context) override;
  NodePtr body;
  NodePtr handler;
};

struct ThrowNode : Node {
  explicit ThrowNode(NodePtr v) : value(std::move(v)) {}
  Value* eval(Context& context) override;
  NodePtr value;
};

/// ( a; b ): a scope for locals; the value of the last expression (ok when empty).
struct Block : Node {
  Value* eval(Context& context) override;
  std::vector<NodePtr> body;
};

/// f a b, or f() with no arguments.
struct Call : Node {
  Call(NodePtr f, std::vector<NodePtr> a) : function(std::move(f)), args(std::move(a)) {}
  Value* eval(Context& context) override;
  NodePtr function;
  std::vector<NodePtr> args;
};

}  // namespace mxs
