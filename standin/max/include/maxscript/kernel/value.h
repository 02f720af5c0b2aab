// Value: the root of every MAXScript value, and the collectable heap that holds script values.
#pragma once

#include <string>

class CharStream;

/// Something whose lifetime the MAXScript garbage collector manages. An object made with `new`
/// joins the heap; it lives while it is reachable from a root (a value-locals frame, a thread's
/// current_stdout or current_result, the evaluator's working values, a global variable) and may
/// be deleted by the next collection once it is not. Permanent objects (the constants) are never
/// on the heap. Objects must not be created on the stack.
class Collectable {
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
class Value : public Collectable {
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
std::string readable_text(Value* value);
/// The plain form of a value as text.
std::string plain_text(Value* value);
