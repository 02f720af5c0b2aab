// The command line of `foxglove-worker farm`: its sub-commands, their options and help text.
#pragma once

#include <string>
#include <vector>

namespace farm {

/// Options of `farm submit`.
struct SubmitOptions {
  std::string scene;
  std::string frameSpec;
  int chunk = 10;
  std::string partition;
  std::string timeLimit;
  std::vector<std::string> sbatchArgs;
  std::string jobDir;
  /// --tiles COLUMNSxROWS: one task per tile of every frame, then a stitching task.
  int tileColumns = 0;
  int tileRows = 0;
  /// Every other option, for the tasks' `foxglove-worker render`.
  std::vector<std::string> renderArgs;
};

/// Options of status, wait, report and retry: the job folder and their own few options.
struct JobOptions {
  std::string jobDir;
  /// wait: seconds before giving up (0: no limit); how often to look.
  double timeout = 0;
  double poll = 2;
  /// report: where to write the JSON summary.
  std::string json;
};

/// Parses the arguments after "farm submit". Throws controller::UsageError. Render options are
/// checked with the worker's own parser, so that a bad one fails here, not in every task.
SubmitOptions parseSubmitOptions(const std::vector<std::string>& arguments);
/// Parses the arguments after "farm status|wait|report|retry". Throws controller::UsageError.
JobOptions parseJobOptions(const std::string& command, const std::vector<std::string>& arguments);

std::string farmUsage();

}  // namespace farm
