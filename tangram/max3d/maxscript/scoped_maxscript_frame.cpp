// scoped_maxscript_frame: saving and restoring the thread's value-locals frame chain.
#include "tangram/max3d/maxscript/scoped_maxscript_frame.h"

#include <stdexcept>

namespace tangram {
namespace max3d {
namespace {
MAXScript_TLS* threadLocals() {
  return static_cast<MAXScript_TLS*>(TlsGetValue(thread_locals_index));
}
}  // namespace

scoped_maxscript_frame::scoped_maxscript_frame() : locals_(threadLocals()), saved_(nullptr) {
  if (locals_) saved_ = locals_->current_locals_frame;
  if (!locals_ || (!saved_ && GetLastError() != ERROR_SUCCESS)) {
    init_thread_locals();
    // The slot is read again before the error is checked: a successful read clears an error
    // that calls inside init_thread_locals may have left behind although it succeeded.
    locals_ = threadLocals();
    if (GetLastError() != ERROR_SUCCESS || !locals_) {
      throw std::runtime_error(
          "tangram/max3d/maxscript:86 tangram::max3d::scoped_maxscript_frame::"
          "scoped_maxscript_frame() assert condition GetLastError() == ERROR_SUCCESS failed: "
          "Unable to get the MXS current_locals_frame for the current thread.");
    }
    saved_ = locals_->current_locals_frame;
  }
}

scoped_maxscript_frame::~scoped_maxscript_frame() {
  locals_->current_locals_frame = saved_;
}

}  // namespace max3d
}  // namespace tangram
