// `foxglove-worker farm` on Windows: the farm mode drives Slurm, which has no Windows nodes, so
// here the command only says so and points to what a Windows farm node runs instead.
#include "controller/farm/farm_commands.h"

#include "controller/common/exit_status.h"

namespace farm {

int runFarm(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  static const char* const explanation =
      "The farm mode (jobs spread over Slurm) runs on Linux only: Slurm has no Windows nodes.\n"
      "On a Windows render node, the farm manager runs one foxglove-worker render per task\n"
      "(see docs/windows.md).\n";
  const bool help = !arguments.empty() && (arguments[0] == "-h" || arguments[0] == "--help");
  if (help) {
    out << "Usage: foxglove-worker farm COMMAND ...\n\n" << explanation;
    return 0;
  }
  err << "foxglove-worker farm: not available on Windows\n" << explanation;
  return controller::usageError;
}

}  // namespace farm
