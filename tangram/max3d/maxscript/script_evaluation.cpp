// Running MAXScript files, streams and texts with every held value in a value-locals frame.
#include "tangram/max3d/maxscript/script_evaluation.h"

#include "tangram/max3d/maxscript/scoped_maxscript_frame.h"
#include "tangram/max3d/maxscript/script_text.h"

#include <stdexcept>

namespace tangram {
namespace max3d {

Value* run_script_file(const std::string& path) {
  scoped_maxscript_frame frame;
  two_value_locals(file, result);
  auto* file = new FileStream();
  vl.file = file;
  // The host takes writable texts.
  std::string name = path;
  MCHAR mode[] = "r";
  if (!file->open(name.data(), mode)) {
    std::string text = "Cannot open script file: \"" + path + "\"";
    RuntimeError error(text.data());
    throw std::runtime_error("MAXScriptException: " + error_to_text(error));
  }
  try {
    vl.result = evaluate_stream(file);
  } catch (const std::exception&) {
    file->close();
    throw;
  }
  file->close();
  frame.locals()->current_result = vl.result;
  pop_value_locals();
  return vl.result;
}

Value* evaluate_stream(CharStream* source) {
  scoped_maxscript_frame frame;
  MAXScript_TLS* locals = frame.locals();
  three_value_locals(parser, code, result);
  try {
    auto* parser = new Parser(locals->current_stdout);
    vl.parser = parser;
    while (!source->at_eos()) {
      vl.code = parser->compile(source);
      vl.result = vl.code->eval();
      source->flush_whitespace();
    }
  } catch (MAXScriptException& error) {
    source->close();
    throw std::runtime_error("MAXScriptException: " + error_to_text(error));
  } catch (const std::exception&) {
    source->close();
    throw;
  }
  source->close();
  if (!vl.result) vl.result = &ok;
  locals->current_result = vl.result;
  pop_value_locals();
  return vl.result;
}

Value* evaluate_script_text(const std::string& text) {
  scoped_maxscript_frame frame;
  two_value_locals(stream, result);
  std::string copy = text;  // the stream copies a writable text
  auto* stream = new StringStream(copy.data());
  vl.stream = stream;
  try {
    vl.result = stream->execute_vf(nullptr, 0);
  } catch (MAXScriptException& error) {
    throw std::runtime_error(error_to_text(error));
  }
  if (!vl.result) vl.result = &ok;
  stream->close();
  frame.locals()->current_result = vl.result;
  pop_value_locals();
  return vl.result;
}

}  // namespace max3d
}  // namespace tangram
