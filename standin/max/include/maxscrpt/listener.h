// The listener: the process's MAXScript output window, which the stand-in writes to standard
// output.
#pragma once

#ifndef STANDIN_MAXSCRPT_H
#error "include maxscrpt/maxscrpt.h first"
#endif

/// The listener's stream: every thread's current_stdout until a thread sets its own. Writes go
/// to standard output, whole and in order, from any thread.
ScripterExport CharStream* listener_stream();
