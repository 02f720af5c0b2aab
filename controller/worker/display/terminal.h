// What the worker needs to know about the terminal it prints to.
#pragma once

namespace worker {

/// True when standard output is a terminal that shows the bar's control sequences (on Windows,
/// a console that takes them; they are switched on here).
bool outputIsTerminal();

/// The width of the terminal on standard output in columns, or 80 when it does not say.
int terminalColumns();

}  // namespace worker
