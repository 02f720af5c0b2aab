// The task script and the sbatch call of a farm job.
#include "controller/farm/batch_script.h"

#include "controller/common/tile_layout.h"

namespace farm {

std::string shellQuote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string batchScript(const FarmJob& job) {
  std::string script =
      "#!/bin/sh\n"
      "# One task of a foxglove-worker farm job: renders its frames of the attempt given as $1.\n"
      "attempt=$1\n"
      "task=" +
      shellQuote(job.directory) + "/tasks/$SLURM_ARRAY_TASK_ID\n";
  if (job.tiled()) {
    // Each tile task renders its rectangle into drive folders of its own; the last task puts
    // the frames together into the real drives.
    script += "case $SLURM_ARRAY_TASK_ID in\n";
    const std::vector<controller::Tile> tiles =
        controller::layoutTiles(job.width, job.height, job.tileColumns, job.tileRows);
    for (size_t t = 0; t < tiles.size(); ++t) {
      const controller::Tile& tile = tiles[t];
      script += "  " + std::to_string(t) + ") set -- --region " + std::to_string(tile.left) + "," +
                std::to_string(tile.top) + "," + std::to_string(tile.right) + "," +
                std::to_string(tile.bottom);
      for (const auto& [letter, folder] : job.drives)
        script +=
            " --drive " +
            shellQuote(letter + "=" + tileDriveFolder(job.directory, static_cast<int>(t), letter));
      script += " ;;\n";
    }
    script += "  *) exec " + shellQuote(job.worker) + " farm stitch " + shellQuote(job.directory) +
              " \"$attempt\" ;;\nesac\n";
  }
  script += "exec " + shellQuote(job.worker) + " render " + shellQuote(job.scene) +
            " --frames \"$(cat \"$task/attempt-$attempt.frames\")\"" +
            " --work-dir \"$task/work\"" +
            " --summary-json \"$task/attempt-$attempt.json\" --progress lines";
  for (const std::string& argument : job.renderArgs) script += " " + shellQuote(argument);
  return script + (job.tiled() ? " \"$@\"\n" : "\n");
}

std::vector<std::string> sbatchCommand(const FarmJob& job, int attempt,
                                       const std::vector<int>& tasks, const std::string& afterOk) {
  std::string ids;
  for (int task : tasks) ids += (ids.empty() ? "" : ",") + std::to_string(task);
  std::vector<std::string> command = {
      "sbatch",
      "--parsable",
      "--job-name=foxglove-farm",
      "--array=" + ids,
      "--output=" + job.directory + "/tasks/%a/attempt-" + std::to_string(attempt) + ".log",
      "--chdir=" + job.submitDir};
  if (!afterOk.empty()) {
    // A failed dependency would leave the job pending for ever: Slurm cancels it instead.
    command.push_back("--dependency=afterok:" + afterOk);
    command.push_back("--kill-on-invalid-dep=yes");
  }
  if (!job.partition.empty()) command.push_back("--partition=" + job.partition);
  if (!job.timeLimit.empty()) command.push_back("--time=" + job.timeLimit);
  command.insert(command.end(), job.sbatchArgs.begin(), job.sbatchArgs.end());
  command.push_back(job.directory + "/task.sh");
  command.push_back(std::to_string(attempt));
  return command;
}

}  // namespace farm
