// foxglove-worker: renders a scene's frames through maxsim and the plug-in, or opens a console.
#include "controller/farm/farm_commands.h"
#include "controller/worker/display/bar_display.h"
#include "controller/common/exit_status.h"
#include "controller/worker/display/line_display.h"
#include "controller/worker/run/options.h"
#include "controller/worker/run/render_run.h"
#include "controller/worker/session/session_console.h"
#include "controller/worker/session/stop_signals.h"
#include "controller/worker/session/system_environment.h"
#include "controller/worker/display/terminal.h"
#include "controller/worker/session/version_check.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

/// The display the options and the terminal ask for: the live bar only on a terminal that can
/// redraw a line (not TERM=dumb) unless asked for, colour only on a terminal without NO_COLOR.
std::unique_ptr<worker::ProgressDisplay> makeDisplay(const worker::RenderOptions& options,
                                                     const worker::Clock& clock) {
  const bool terminal = worker::outputIsTerminal();
  const char* term = std::getenv("TERM");
  const bool dumb = term && std::strcmp(term, "dumb") == 0;
  const bool live =
      options.progress == worker::RenderOptions::Progress::Bar ||
      (options.progress == worker::RenderOptions::Progress::Auto && terminal && !dumb);
  if (!live) return std::make_unique<worker::LineDisplay>(std::cout);
  const bool colour = terminal && !dumb && std::getenv("NO_COLOR") == nullptr;
  return std::make_unique<worker::BarDisplay>(std::cout, clock, worker::terminalColumns(), colour);
}

}  // namespace

int main(int argc, char** argv) {
  // A farm manager that closes the pipe must not kill the worker before it ends maxsim.
  worker::ignoreClosedPipes();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const std::string command = arguments.empty() ? "" : arguments.front();
  const std::vector<std::string> rest(arguments.begin() + (arguments.empty() ? 0 : 1),
                                      arguments.end());
  worker::SteadyClock clock;
  try {
    if (command == "render") {
      const worker::RenderOptions options = worker::parseRenderOptions(rest);
      if (options.help) {
        std::cout << worker::renderUsage();
        return 0;
      }
      // SIGTERM, SIGINT and SIGHUP (on Windows: Ctrl+C, Ctrl+Break, the console closing) end the
      // run in order: maxsim ended, the summary printed.
      worker::catchStopSignals();
      const std::unique_ptr<worker::ProgressDisplay> display = makeDisplay(options, clock);
      const int status = worker::runRender(options, *display, std::cout, clock);
      if (!std::cout) std::cerr << "foxglove-worker render: cannot write its standard output\n";
      return status;
    }
    if (command == "session") {
      const worker::SessionOptions options = worker::parseSessionOptions(rest);
      if (options.help) {
        std::cout << worker::sessionUsage();
        return 0;
      }
      return worker::runConsole(options, std::cin, std::cout, clock);
    }
    if (command == "farm") return farm::runFarm(rest, std::cout, std::cerr);
    if (command == "--version") {
      return worker::printVersions(worker::parseSessionOptions(rest).launch, std::cout, clock);
    }
    if (command == "-h" || command == "--help") {
      std::cout << worker::mainUsage();
      return 0;
    }
    std::cerr << "foxglove-worker: "
              << (command.empty() ? "no command" : "unknown command " + command) << "\n"
              << worker::mainUsage();
    return controller::usageError;
  } catch (const controller::UsageError& error) {
    std::cerr << "foxglove-worker " << command << ": " << error.what() << "\n"
              << "see: foxglove-worker " << command << " --help\n";
    return controller::usageError;
  } catch (const std::exception& error) {
    // Whatever the run did not handle still ends in a message and a status a scheduler reads.
    std::cout << std::flush;
    std::cerr << "ERROR: job internal error: " << error.what() << "\n";
    return controller::someFramesFailed;
  }
}
