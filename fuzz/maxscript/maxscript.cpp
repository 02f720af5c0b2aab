// Fuzz target: the MAXScript parser and evaluator fed arbitrary script text, run as a
// controller's script text is run (the language has no loops, so every text ends).
#include "tangram/max3d/maxscript/script_evaluation.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/excepts.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/parser.h"
#include "maxscrpt/listener.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  MAXScript_TLS* locals = maxscript_thread_locals();
  // Listener output goes to a stream of its own per input rather than to the terminal.
  CharStream* listener = locals->current_stdout;
  locals->current_stdout = new StringStream();
  try {
    tangram::max3d::evaluate_script_text(text);
  } catch (const std::runtime_error&) {
    // A MAXScript error in its printed form: the documented outcome of a bad script.
  }
  locals->current_stdout = listener;
  // What the script made is garbage now; collecting keeps the heap from growing across inputs.
  Collectable::gc();
  return 0;
}
