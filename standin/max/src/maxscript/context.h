// The evaluator's state for one evaluation: the thread's locals, the block scopes, held values.
#pragma once

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include <string>
#include <utility>
#include <vector>

namespace mxs {

/// The locals of one running block: each name's slot in the thread's eval_stack.
struct Scope {
  Scope* parent = nullptr;
  std::vector<std::pair<std::string, size_t>> slots;
};

struct Context {
  MAXScript_TLS* tls;
  /// The innermost running block; null at the top level, where variables are global.
  Scope* scope = nullptr;
};

/// Keeps values reachable for the collector until it goes out of scope (they sit on the thread's
/// eval_stack, which is truncated back on every path out).
class Held {
 public:
  explicit Held(Context& context)
      : stack_(context.tls->eval_stack), mark_(context.tls->eval_stack.size()) {}
  ~Held() { stack_.resize(mark_); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  /// Holds the value; gives its slot.
  size_t keep(Value* value) {
    stack_.push_back(value);
    return stack_.size() - 1;
  }
  /// The values held since this object was made.
  std::vector<Value*> values() const {
    return std::vector<Value*>(stack_.begin() + static_cast<long>(mark_), stack_.end());
  }

 private:
  std::vector<Value*>& stack_;
  size_t mark_;
};

}  // namespace mxs
