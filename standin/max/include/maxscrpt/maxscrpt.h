// MAXScript for plug-ins: values and the heap, thread locals, and the constants (ok, undefined...).
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif
#define STANDIN_MAXSCRPT_H

/// The element type of a parameter type code (the MAXScript headers bring this macro in; any
/// header that uses the name base_type must come before them).
#define base_type(t) ((t) & ~0x0800)

#include "sdk_exports.h"

#include <cstdint>
#include <string>
#include <vector>

class CharStream;

/// Something whose lifetime the MAXScript garbage collector manages. An object made with `new`
/// joins the heap; it lives while it is reachable from a root (a value-locals frame, a thread's
/// current_stdout or current_result, the evaluator's working values, a global variable) and may
/// be deleted by the next collection once it is not. Permanent objects (the constants) are never
/// on the heap. Objects must not be created on the stack.
class ScripterExport Collectable {
 public:
  Collectable(const Collectable&) = delete;
  Collectable& operator=(const Collectable&) = delete;
  virtual ~Collectable();

  /// Marks this object and everything it refers to as reachable during a collection.
  virtual void gc_trace();
  /// Deletes the object now, for a value that its maker knows no one else holds.
  virtual void collect();

  /// Runs a full collection: marks everything reachable from the roots of every thread and
  /// deletes the rest. Must not run while another thread is evaluating MAXScript.
  static void gc();
  /// The number of objects on the heap (permanent objects are not counted).
  static size_t heap_size();

  /// Selects the constructor of an object that is not on the heap: a constant, or a scratch
  /// object whose owner holds it on the C++ stack.
  struct Permanent {};

 protected:
  Collectable();
  explicit Collectable(Permanent);
  /// Marks the object; false when it was already marked in this collection.
  bool mark();

 private:
  friend class CollectableHeap;
  bool on_heap_;
  bool marked_ = false;
};

/// A MAXScript value. Each kind prints itself in two forms: the readable form (`sprin1`, what
/// `print` shows: a string in double quotes with escapes) and the plain form (`sprint`, what
/// `format` shows: a string's characters as they are).
class ScripterExport Value : public Collectable {
 public:
  /// Writes the readable form.
  virtual void sprin1(CharStream* stream) = 0;
  /// Writes the plain form; the readable form unless a kind says otherwise.
  virtual void sprint(CharStream* stream);

  /// The value's text. Throws a MAXScript conversion error for a value that is not text.
  virtual const char* to_string();
  /// The value as an integer (numbers only; floats are truncated). Throws a conversion error.
  virtual int to_int();
  /// The value as a float (numbers only). Throws a conversion error.
  virtual float to_float();
  /// true or false (the two boolean values only). Throws a conversion error.
  virtual bool to_bool();

  /// The value that evaluating this value gives: itself, except for compiled code.
  virtual Value* eval();
  /// Calls the value as a function with positional arguments. Throws a type error for a value that
  /// cannot be called.
  virtual Value* apply(Value** arg_list, int count);

  /// The name of the value's class as scripts see it ("Integer", "String", ...).
  virtual const char* class_name() const = 0;

 protected:
  Value() = default;
  explicit Value(Permanent permanent) : Collectable(permanent) {}
};

/// The readable form of a value as text.
ScripterExport std::string readable_text(Value* value);
/// The plain form of a value as text.
ScripterExport std::string plain_text(Value* value);

/// The per-thread MAXScript state. A thread has none until init_thread_locals() makes it; it is
/// removed when the thread ends.
struct MAXScript_TLS {
  /// Head of the chain of value-locals frames that the garbage collector scans (null: none).
  Value** current_locals_frame = nullptr;
  /// The thread's output stream: the listener unless the thread set another.
  CharStream* current_stdout = nullptr;
  /// The last result, as the listener keeps it.
  Value* current_result = nullptr;
  /// The evaluator's working values (operands, arguments, locals of running blocks), kept
  /// reachable while an expression is evaluated.
  std::vector<Value*> eval_stack;
};

/// The thread-local slot that holds each thread's MAXScript_TLS (read it with TlsGetValue).
extern ScripterExport int thread_locals_index;

/// A field of the calling thread's MAXScript_TLS, which must exist. A function-like macro: the
/// C++ keyword thread_local, never followed by "(", is left alone.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define thread_local(x) (((MAXScript_TLS*)TlsGetValue(thread_locals_index))->x)
#ifdef __clang__
#pragma clang diagnostic pop
#endif

/// Makes the calling thread's MAXScript_TLS if it has none. Leaves the last error at
/// ERROR_SUCCESS on success.
ScripterExport void init_thread_locals();

/// printf-formatted text to the calling thread's current_stdout.
ScripterExport int mprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Pushes a value-locals frame (a count, the previous head, then the value slots, all pointer
/// sized) onto the calling thread's frame chain. Used by the value-locals macros.
ScripterExport void push_value_locals(void* frame);

// A frame of value slots on the stack, reached as vl.name; every slot starts null. The frame
// must be removed with pop_value_locals() before the function returns normally.
#define one_value_local(a)      \
  struct {                      \
    intptr_t count;             \
    Value** link;               \
    Value* a;                   \
  } vl = {1, nullptr, nullptr}; \
  push_value_locals(&vl)
#define two_value_locals(a, b)           \
  struct {                               \
    intptr_t count;                      \
    Value** link;                        \
    Value* a;                            \
    Value* b;                            \
  } vl = {2, nullptr, nullptr, nullptr}; \
  push_value_locals(&vl)
#define three_value_locals(a, b, c)               \
  struct {                                        \
    intptr_t count;                               \
    Value** link;                                 \
    Value* a;                                     \
    Value* b;                                     \
    Value* c;                                     \
  } vl = {3, nullptr, nullptr, nullptr, nullptr}; \
  push_value_locals(&vl)
#define pop_value_locals() (thread_local(current_locals_frame) = vl.link)

namespace standin {
/// Test hook: makes the calling thread's next init_thread_locals() fail (no block is made and the
/// last error reports ERROR_NOT_ENOUGH_MEMORY), as a thread out of resources would.
ScripterExport void fail_next_thread_locals_init();
/// Test hook: the calling thread's next init_thread_locals() succeeds but leaves `error` as the
/// last error, as a Windows call made inside it may, since success does not clear the last error.
ScripterExport void leave_error_after_next_thread_locals_init(DWORD error);
/// The calling thread's MAXScript_TLS, made on first use (for the stand-in's own code and tests).
ScripterExport MAXScript_TLS* thread_locals();
}  // namespace standin

/// true and false.
class ScripterExport Boolean : public Value {
 public:
  explicit Boolean(bool state) : Value(Permanent{}), state_(state) {}
  void sprin1(CharStream* stream) override;
  bool to_bool() override { return state_; }
  const char* class_name() const override { return "BooleanClass"; }

 private:
  bool state_;
};

/// ok: the value of an expression that has no other value to give.
class ScripterExport Ok : public Value {
 public:
  Ok() : Value(Permanent{}) {}
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "OkClass"; }
};

/// undefined: the value of a variable never set, and of "no such thing".
class ScripterExport Undefined : public Value {
 public:
  Undefined() : Value(Permanent{}) {}
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "UndefinedClass"; }
};

extern ScripterExport Boolean true_value;
extern ScripterExport Boolean false_value;
extern ScripterExport Ok ok;
extern ScripterExport Undefined undefined;

/// true_value or false_value.
inline Value* bool_result(bool state) {
  return state ? static_cast<Value*>(&true_value) : &false_value;
}
