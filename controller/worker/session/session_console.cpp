// The console: input lines out as commands, every packet printed.
#include "controller/worker/session/session_console.h"

#include "controller/worker/session/plugin_session.h"
#include "controller/worker/session/worker_environment.h"

#include <string>

namespace worker {

namespace {

class PacketPrinter : public PacketObserver {
 public:
  explicit PacketPrinter(std::ostream& out) : out_(out) {}

  void onRequest(const controller::Request& request,
                 const std::optional<std::string>& answer) override {
    out_ << "<< " << request.packet << "\n";
    if (answer) out_ << ">> " << *answer << "\n";
    out_.flush();
  }
  void onReply(const std::string& reply) override { out_ << "<< " << reply << std::endl; }

 private:
  std::ostream& out_;
};

}  // namespace

int runConsole(const SessionOptions& options, std::istream& in, std::ostream& out,
               const Clock& clock) {
  WorkerEnvironment environment;
  try {
    environment = prepareEnvironment(options.launch);
  } catch (const std::exception& error) {
    out << "-- " << error.what() << std::endl;
    return 1;
  }
  PluginSession session(environment, options.launch, clock);
  const controller::Expected<void> started =
      session.start([&out](const std::string& warning) { out << "-- " << warning << std::endl; });
  if (!started) {
    out << "-- " << started.failure().text << std::endl;
    return 1;
  }
  out << "-- connected: " << session.versionLine() << "\n"
      << "-- plug-in log: " << environment.pluginLog << std::endl;
  PacketPrinter printer(out);
  int status = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    out << ">> " << line << std::endl;
    const CommandOutcome outcome = session.command(line, printer, std::chrono::milliseconds(0));
    if (outcome.end != CommandOutcome::End::Completed) {
      out << "-- " << outcome.breakReason() << std::endl;
      status = 1;
      break;
    }
  }
  const std::optional<int> exit = session.finish(30000);
  out << "-- maxsim exited with status " << (exit ? std::to_string(*exit) : "unknown") << std::endl;
  return status;
}

}  // namespace worker
