// MAXScript thread locals: the per-thread block, its Windows slot, and value-locals frames.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class CharStream;
class Value;

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
extern DWORD thread_locals_index;

/// Makes the calling thread's MAXScript_TLS if it has none. Leaves the last error at
/// ERROR_SUCCESS on success.
void init_thread_locals();

/// The calling thread's MAXScript_TLS, made on first use.
MAXScript_TLS* maxscript_thread_locals();

/// printf-formatted text to the calling thread's current_stdout.
int mprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Pushes a value-locals frame (a count, the previous head, then the value slots, all pointer
/// sized) onto the calling thread's frame chain. Used by the value-locals macros.
void push_value_locals(void* frame);

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
#define pop_value_locals() (maxscript_thread_locals()->current_locals_frame = vl.link)

namespace standin {
/// Test hook: makes the calling thread's next init_thread_locals() fail (no block is made and the
/// last error reports ERROR_NOT_ENOUGH_MEMORY), as a thread out of resources would.
void fail_next_thread_locals_init();
/// Test hook: the calling thread's next init_thread_locals() succeeds but leaves `error` as the
/// last error, as a Windows call made inside it may, since success does not clear the last error.
void leave_error_after_next_thread_locals_init(DWORD error);
}  // namespace standin
