// What Slurm says about an array job's tasks, read from `scontrol show job -o`.
#pragma once

#include <map>
#include <string>

namespace farm {

/// Slurm's record of one array task.
struct TaskRecord {
  /// JobState: "PENDING", "RUNNING", "COMPLETED", "FAILED", "CANCELLED", "TIMEOUT"...
  std::string state;
  /// The batch script's exit code (the first half of ExitCode=N:S); Slurm gives 0 for
  /// cancelled and timed-out tasks, so it means something only with state FAILED.
  int exitCode = 0;
  /// The signal that ended the batch script (the second half of ExitCode=N:S), 0 for none: a
  /// worker killed with SIGKILL shows as FAILED with ExitCode=0:9.
  int signal = 0;

  bool operator==(const TaskRecord& other) const {
    return state == other.state && exitCode == other.exitCode && signal == other.signal;
  }
};

/// The Slurm states of an array job's tasks while its records live.
struct ArrayState {
  /// False when Slurm could not be asked (slurmctld down): then nothing is known.
  bool reachable = true;
  /// Array task id -> its record. A task missing here has no record any more (MinJobAge
  /// passed) or never existed.
  std::map<int, TaskRecord> tasks;
  /// Why Slurm could not be asked.
  std::string error;
};

/// Reads the one-line records of `scontrol show job -o`. Pending tasks that Slurm still keeps
/// as one record carry a task list ("ArrayTaskId=2-5,7%2"); every task of it gets that state.
std::map<int, TaskRecord> parseJobRecords(const std::string& text);

/// Asks `scontrol show job -o ID`. A job id Slurm no longer knows is reachable with no tasks.
ArrayState queryArrayJob(const std::string& jobId);

/// True for the states of a task that has not ended yet (pending, running, completing...).
bool isLiveState(const std::string& state);

}  // namespace farm
