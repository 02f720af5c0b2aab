// The evaluator: runs syntax trees, holding every working value where the collector sees it.
#include "ast.h"
#include "builtins.h"
#include "globals.h"
#include "interface_values.h"
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/parser.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/excepts.h"

#include <cstdint>

namespace mxs {
namespace {

// The slot of the innermost local of that name, or null when there is none.
const size_t* findLocal(Scope* scope, const std::string& name) {
  for (; scope; scope = scope->parent) {
    for (auto it = scope->slots.rbegin(); it != scope->slots.rend(); ++it) {
      if (it->first == name) return &it->second;
    }
  }
  return nullptr;
}

bool isNumber(Value* value) {
  return dynamic_cast<Integer*>(value) != nullptr || dynamic_cast<Float*>(value) != nullptr;
}

// Integer arithmetic wraps around at 32 bits like the host's; 64-bit intermediates keep C++
// overflow out of it.
Value* integerArithmetic(char op, int64_t a, int64_t b) {
  int64_t result = 0;
  switch (op) {
    case '+':
      result = a + b;
      break;
    case '-':
      result = a - b;
      break;
    case '*':
      result = a * b;
      break;
    default:
      if (b == 0) throw RuntimeError("Integer divide by zero");
      result = a / b;
  }
  return new Integer(static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(result))));
}

Value* floatArithmetic(char op, float a, float b) {
  switch (op) {
    case '+':
      return new Float(a + b);
    case '-':
      return new Float(a - b);
    case '*':
      return new Float(a * b);
    default:
      return new Float(a / b);
  }
}

Value* arithmetic(const std::string& op, Value* left, Value* right) {
  if (auto* text = dynamic_cast<String*>(left)) {
    if (op != "+") throw NoMethodError(op, left);
    auto* other = dynamic_cast<String*>(right);
    if (!other) throw ConversionError(right, "String");
    return new String(text->text() + other->text());
  }
  if (!isNumber(left)) throw NoMethodError(op, left);
  auto* leftInteger = dynamic_cast<Integer*>(left);
  if (!isNumber(right)) throw ConversionError(right, leftInteger ? "Integer" : "Float");
  auto* rightInteger = dynamic_cast<Integer*>(right);
  if (leftInteger && rightInteger) {
    return integerArithmetic(op[0], leftInteger->value, rightInteger->value);
  }
  return floatArithmetic(op[0], left->to_float(), right->to_float());
}

bool equal(Value* left, Value* right) {
  if (isNumber(left) && isNumber(right)) {
    auto* a = dynamic_cast<Integer*>(left);
    auto* b = dynamic_cast<Integer*>(right);
    if (a && b) return a->value == b->value;
    return left->to_float() == right->to_float();
  }
  auto* a = dynamic_cast<String*>(left);
  auto* b = dynamic_cast<String*>(right);
  if (a && b) return a->text() == b->text();
  return left == right;
}

// -1, 0 or 1 for numbers or strings; a NoMethodError for anything else.
int order(const std::string& op, Value* left, Value* right) {
  if (isNumber(left)) {
    if (!isNumber(right)) throw ConversionError(right, "Float");
    auto* a = dynamic_cast<Integer*>(left);
    auto* b = dynamic_cast<Integer*>(right);
    if (a && b) return a->value < b->value ? -1 : (a->value > b->value ? 1 : 0);
    const float x = left->to_float();
    const float y = right->to_float();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (auto* a = dynamic_cast<String*>(left)) {
    auto* b = dynamic_cast<String*>(right);
    if (!b) throw ConversionError(right, "String");
    const int c = a->text().compare(b->text());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  throw NoMethodError(op, left);
}

Value* comparison(const std::string& op, Value* left, Value* right) {
  if (op == "==") return bool_result(equal(left, right));
  if (op == "!=") return bool_result(!equal(left, right));
  const int c = order(op, left, right);
  if (op == "<") return bool_result(c < 0);
  if (op == ">") return bool_result(c > 0);
  if (op == "<=") return bool_result(c <= 0);
  return bool_result(c >= 0);
}

InterfaceValue* asInterface(Value* object, const std::string& name) {
  auto* found = dynamic_cast<InterfaceValue*>(object);
  if (!found) throw UnknownPropertyError(name, object);
  return found;
}

// Restores the context's scope however a block is left.
class ScopeGuard {
 public:
  ScopeGuard(Context& context, Scope& scope) : context_(context), saved_(context.scope) {
    scope.parent = saved_;
    context.scope = &scope;
  }
  ~ScopeGuard() { context_.scope = saved_; }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

 private:
  Context& context_;
  Scope* saved_;
};

}  // namespace

Value* IntegerLiteral::eval(Context&) {
  return new Integer(value);
}

Value* FloatLiteral::eval(Context&) {
  return new Float(value);
}

Value* StringLiteral::eval(Context&) {
  return new String(value);
}

Value* VariableRef::eval(Context& context) {
  if (const size_t* slot = findLocal(context.scope, name)) return context.tls->eval_stack[*slot];
  if (Value* global = get_global(name)) return global;
  if (FPInterfaceDesc* desc = GetCOREInterfaceByName(name)) return new InterfaceValue(desc);
  if (Value* builtin = find_builtin(name)) return builtin;
  return &undefined;
}

Value* PropertyRef::eval(Context& context) {
  Held held(context);
  Value* owner = object->eval(context);
  held.keep(owner);
  return asInterface(owner, name)->get_property(name);
}

Value* AssignVariable::eval(Context& context) {
  Value* result = value->eval(context);
  if (const size_t* slot = findLocal(context.scope, name)) {
    context.tls->eval_stack[*slot] = result;
  } else {
    set_global(name, result);
  }
  return result;
}

Value* AssignProperty::eval(Context& context) {
  Held held(context);
  Value* owner = object->eval(context);
  held.keep(owner);
  InterfaceValue* target = asInterface(owner, name);
  Value* result = value->eval(context);
  held.keep(result);
  target->set_property(name, result);
  return result;
}

Value* LocalDecl::eval(Context& context) {
  Value* result = value ? value->eval(context) : &undefined;
  if (!context.scope) {
    set_global(name, result);
    return result;
  }
  // The block's Held truncates the stack when the block ends, which ends the local too.
  context.tls->eval_stack.push_back(result);
  context.scope->slots.emplace_back(name, context.tls->eval_stack.size() - 1);
  return result;
}

Value* BinaryOp::eval(Context& context) {
  Held held(context);
  Value* a = left->eval(context);
  held.keep(a);
  Value* b = right->eval(context);
  held.keep(b);
  if (op == "+" || op == "-" || op == "*" || op == "/") return arithmetic(op, a, b);
  return comparison(op, a, b);
}

Value* LogicalOp::eval(Context& context) {
  const bool first = left->eval(context)->to_bool();
  if (is_and != first) return bool_result(first);
  return bool_result(right->eval(context)->to_bool());
}

Value* NotOp::eval(Context& context) {
  return bool_result(!operand->eval(context)->to_bool());
}

Value* Negate::eval(Context& context) {
  Value* value = operand->eval(context);
  if (auto* integer = dynamic_cast<Integer*>(value)) {
    return new Integer(static_cast<int32_t>(0u - static_cast<uint32_t>(integer->value)));
  }
  if (auto* number = dynamic_cast<Float*>(value)) return new Float(-number->value);
  throw NoMethodError("-", value);
}

Value* IfNode::eval(Context& context) {
  if (condition->eval(context)->to_bool()) return then_branch->eval(context);
  return else_branch ? else_branch->eval(context) : &undefined;
}

Value* TryNode::eval(Context& context) {
  // Unwinding out of the body restores the scopes and held values (ScopeGuard, Held).
  try {
    return body->eval(context);
  } catch (const MAXScriptException& error) {
    set_current_exception(error.printed());
  }
  return handler->eval(context);
}

Value* ThrowNode::eval(Context& context) {
  Value* thrown = value->eval(context);
  if (auto* text = dynamic_cast<String*>(thrown)) throw RuntimeError(text->text());
  throw RuntimeError(readable_text(thrown));
}

Value* Block::eval(Context& context) {
  Held held(context);
  Scope scope;
  ScopeGuard guard(context, scope);
  Value* result = &ok;
  for (NodePtr& expression : body) result = expression->eval(context);
  return result;
}

Value* Call::eval(Context& context) {
  Held held(context);
  Value* callee = function->eval(context);
  held.keep(callee);
  Held arguments(context);
  for (NodePtr& argument : args) arguments.keep(argument->eval(context));
  // A copy: the thread's stack may grow (and move) while the function runs.
  std::vector<Value*> values = arguments.values();
  return callee->apply(values.data(), static_cast<int>(values.size()));
}

}  // namespace mxs

CodeTree::CodeTree(std::unique_ptr<mxs::Node> root) : root_(std::move(root)) {}

CodeTree::~CodeTree() = default;

Value* CodeTree::eval() {
  if (!root_) return &ok;
  mxs::Context context{maxscript_thread_locals()};
  return root_->eval(context);
}

void CodeTree::sprin1(CharStream* stream) {
  stream->puts("<CodeTree>");
}
