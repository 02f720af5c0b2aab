// Printed forms of MAXScript values and errors, printed into a string stream on the heap.
#include "tangram/max3d/maxscript/script_text.h"

#include "tangram/max3d/maxscript/scoped_maxscript_frame.h"

namespace tangram {
namespace max3d {

std::string value_to_text(Value* value) {
  scoped_maxscript_frame frame;
  two_value_locals(value, stream);
  vl.value = value;
  auto* stream = new StringStream();
  vl.stream = stream;
  value->sprin1(stream);
  std::string text = stream->to_string();
  pop_value_locals();
  return text;
}

std::string error_to_text(MAXScriptException& error) {
  scoped_maxscript_frame frame;
  one_value_local(stream);
  auto* stream = new StringStream();
  vl.stream = stream;
  error.sprin1(stream);
  std::string text = stream->to_string();
  pop_value_locals();
  return text;
}

}  // namespace max3d
}  // namespace tangram
