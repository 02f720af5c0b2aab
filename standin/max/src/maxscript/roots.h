// What the garbage collector marks from: every thread's MAXScript state and the global variables.
#pragma once

namespace mxs {
/// Marks the values that every thread's MAXScript_TLS holds: its value-locals frames,
/// current_stdout, current_result and the evaluator's working values.
void mark_thread_roots();
/// Marks the values of the global variables.
void mark_global_roots();
}  // namespace mxs
