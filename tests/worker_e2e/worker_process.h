// Test helper: runs foxglove-worker to its end with given input and collects what it prints.
#pragma once

#include <string>
#include <vector>

struct WorkerRun {
  int status = -1;  // the exit status; -1 when the worker did not exit normally
  std::string out;
};

/// Runs build/bin/foxglove-worker with the arguments, standard input read from `input`, and
/// standard output and error together in `out`.
WorkerRun runWorker(const std::vector<std::string>& arguments, const std::string& input = "");
