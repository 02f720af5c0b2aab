// Loading a result value through the host's variable-argument loader.
#include "tangram/max3d/fp_type_traits.h"

#include <cstdarg>

namespace tangram {
namespace FPWrapper {

void load_result(FPValue& result, bool byPointer, int type, ...) {
  va_list ap;
  va_start(ap, type);
  result.Loadva(type, ap, byPointer);
  va_end(ap);
}

}  // namespace FPWrapper
}  // namespace tangram
