// Raising a MAXScript runtime error with a text built by the plug-in.
#include "tangram/max3d/maxscript/runtime_error.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/excepts.h"

namespace tangram {
namespace max3d {

void throw_runtime_error(const std::string& text) {
  std::string buffer = text;
  throw RuntimeError(buffer.data());
}

}  // namespace max3d
}  // namespace tangram
