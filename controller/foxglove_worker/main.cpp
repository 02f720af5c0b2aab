// foxglove-worker: renders a scene's frames through maxsim and the plug-in, or opens a console.
#include "controller/farm/farm_commands.h"
#include "controller/worker/options.h"
#include "controller/worker/progress_display.h"
#include "controller/worker/render_run.h"
#include "controller/worker/session_console.h"

#include <unistd.h>

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
  // A farm manager that closes the pipe must not kill the worker before it ends maxsim.
  std::signal(SIGPIPE, SIG_IGN);
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
      const bool live =
          options.progress == worker::RenderOptions::Progress::Bar ||
          (options.progress == worker::RenderOptions::Progress::Auto && isatty(STDOUT_FILENO));
      worker::ProgressDisplay display(std::cout, live);
      return worker::runRender(options, display, std::cout, clock);
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
    if (command == "-h" || command == "--help") {
      std::cout << worker::mainUsage()
                << "\nfoxglove-worker farm --help: jobs spread over Slurm.\n";
      return 0;
    }
    std::cerr << "foxglove-worker: "
              << (command.empty() ? "no command" : "unknown command " + command) << "\n"
              << worker::mainUsage();
    return 2;
  } catch (const worker::UsageError& error) {
    std::cerr << "foxglove-worker " << command << ": " << error.what() << "\n"
              << "see: foxglove-worker " << command << " --help\n";
    return 2;
  }
}
