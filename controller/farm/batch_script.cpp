// The task script and the sbatch call of a farm job.
#include "controller/farm/batch_script.h"

namespace farm {

std::string shellQuote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string batchScript(const FarmJob& job) {
  std::string render = "exec " + shellQuote(job.worker) + " render " + shellQuote(job.scene) +
                       " --frames \"$(cat \"$task/attempt-$attempt.frames\")\"" +
                       " --work-dir \"$task/work\"" +
                       " --summary-json \"$task/attempt-$attempt.json\" --progress lines";
  for (const std::string& argument : job.renderArgs) render += " " + shellQuote(argument);
  return "#!/bin/sh\n"
         "# One task of a foxglove-worker farm job: renders its frames of the attempt given as "
         "$1.\n"
         "attempt=$1\n"
         "task=" +
         shellQuote(job.directory) + "/tasks/$SLURM_ARRAY_TASK_ID\n" + render + "\n";
}

std::vector<std::string> sbatchCommand(const FarmJob& job, int attempt,
                                       const std::vector<int>& tasks) {
  std::string ids;
  for (int task : tasks) ids += (ids.empty() ? "" : ",") + std::to_string(task);
  std::vector<std::string> command = {
      "sbatch",
      "--parsable",
      "--job-name=foxglove-farm",
      "--array=" + ids,
      "--output=" + job.directory + "/tasks/%a/attempt-" + std::to_string(attempt) + ".log",
      "--chdir=" + job.submitDir};
  if (!job.partition.empty()) command.push_back("--partition=" + job.partition);
  if (!job.timeLimit.empty()) command.push_back("--time=" + job.timeLimit);
  command.insert(command.end(), job.sbatchArgs.begin(), job.sbatchArgs.end());
  command.push_back(job.directory + "/task.sh");
  command.push_back(std::to_string(attempt));
  return command;
}

}  // namespace farm
