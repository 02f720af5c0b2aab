// Start-up scripts: run with the MAXScript engine on the main thread, in the order given.
#include "apps/maxsim/startup_scripts.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "iFnPub.h"
#include "maxscrpt/excepts.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/parser.h"
#include "maxscrpt/listener.h"

#include <iostream>
#include <stdexcept>

const char* const startupScriptSupport =
    "Scripts are MAXScript (the subset in docs/maxscript-subset.md). Their listener output goes\n"
    "to standard output; an uncaught script error is printed to standard error and maxsim exits\n"
    "with status 1 without running the scripts after it.\n";

namespace {

/// Runs every expression of the script on the stream; throws the script's error.
void runStream(CharStream* stream) {
  one_value_local(source);
  vl.source = stream;
  try {
    stream->execute_vf(nullptr, 0);
  } catch (...) {
    pop_value_locals();
    stream->close();
    throw;
  }
  pop_value_locals();
  stream->close();
}

void runScript(const StartupScript& script) {
  if (script.kind == StartupScript::Kind::Text) {
    std::string text = script.content;  // the stream copies a writable text
    runStream(new StringStream(text.data()));
    return;
  }
  auto* file = new FileStream();
  std::string name = script.content;
  char mode[] = "r";
  if (!file->open(name.data(), mode)) {
    file->collect();
    std::string text = "Cannot open script file: \"" + script.content + "\"";
    throw RuntimeError(text.data());
  }
  runStream(file);
}

}  // namespace

int runStartupScripts(const std::vector<StartupScript>& scripts) {
  for (const StartupScript& script : scripts) {
    try {
      runScript(script);
    } catch (MAXScriptException& error) {
      std::cerr << error.printed() << std::endl;
      return 1;
    } catch (const MAXException& error) {
      std::cerr << "-- MAXException: " << error.message.data() << std::endl;
      return 1;
    } catch (const std::exception& error) {
      std::cerr << "-- Exception: " << error.what() << std::endl;
      return 1;
    }
  }
  return 0;
}
