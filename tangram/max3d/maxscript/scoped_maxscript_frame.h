// scoped_maxscript_frame: restores the thread's chain of MAXScript value-locals frames on every
// exit.
#pragma once

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/excepts.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/parser.h"
#include "maxscrpt/listener.h"

namespace tangram {
namespace max3d {

/// Saves the calling thread's current_locals_frame (setting up the thread's MAXScript thread
/// locals when it has none) and writes it back when destroyed, so that a function that pushes
/// value-locals frames leaves the chain as it found it, also when it throws.
class scoped_maxscript_frame {
 public:
  /// Throws std::runtime_error with the assertion text "tangram/max3d/maxscript:86 ... Unable to
  /// get the MXS current_locals_frame for the current thread." when the thread locals cannot be
  /// set up.
  scoped_maxscript_frame();
  ~scoped_maxscript_frame();
  scoped_maxscript_frame(const scoped_maxscript_frame&) = delete;
  scoped_maxscript_frame& operator=(const scoped_maxscript_frame&) = delete;

 private:
  MAXScript_TLS* locals_;
  Value** saved_;
};

}  // namespace max3d
}  // namespace tangram
