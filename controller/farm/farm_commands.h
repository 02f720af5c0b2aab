// `foxglove-worker farm`: submit, status, wait, report and retry of a job spread over Slurm.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace farm {

/// Runs the farm sub-command in arguments[0] with the rest. Prints results on out and
/// problems on err; returns the exit status (usage errors: 2). Slurm's commands (sbatch,
/// scontrol) are found in PATH and use SLURM_CONF like any Slurm client.
int runFarm(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace farm
