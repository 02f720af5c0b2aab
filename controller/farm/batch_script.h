// The batch script every task of a farm job runs, and the sbatch call that submits it.
#pragma once

#include "controller/farm/farm_job.h"

#include <string>
#include <vector>

namespace farm {

/// Quotes a word for a POSIX shell (single quotes; a quote inside becomes '\'').
std::string shellQuote(const std::string& word);

/// The job's task.sh: picks its task from SLURM_ARRAY_TASK_ID and its attempt from $1, and
/// execs `foxglove-worker render` on that task's frames of that attempt with the task's work
/// folder, summary and the job's render options. In a tiled job a tile task adds its region and
/// its own drive folders, and the stitching task runs `foxglove-worker farm stitch`. The worker
/// replaces the shell so that Slurm's signals (scancel, time limit) reach it directly and it can
/// end maxsim and write its summary.
std::string batchScript(const FarmJob& job);

/// The sbatch command line that submits the given tasks as one array job for the attempt; with
/// afterOk, the job starts only after that job succeeded, and is cancelled if it did not.
std::vector<std::string> sbatchCommand(const FarmJob& job, int attempt,
                                       const std::vector<int>& tasks,
                                       const std::string& afterOk = "");

}  // namespace farm
