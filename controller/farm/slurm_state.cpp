// Slurm's own view of an array job: scontrol's one-line records, read per array task.
#include "controller/farm/slurm_state.h"

#include "controller/farm/process_output.h"

#include <cstdlib>
#include <set>
#include <sstream>

namespace farm {
namespace {

// "2-5,7%2" -> 2, 3, 4, 5, 7 (the "%N" throttle is not a task).
std::set<int> taskList(std::string text) {
  std::set<int> tasks;
  text = text.substr(0, text.find('%'));
  std::istringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    try {
      const size_t dash = item.find('-', 1);
      const int first = std::stoi(item.substr(0, dash));
      const int last = dash == std::string::npos ? first : std::stoi(item.substr(dash + 1));
      for (int t = first; t <= last; ++t) tasks.insert(t);
    } catch (const std::exception&) {
      // Not a task number: scontrol prints "N/A" for a job that is not an array.
    }
  }
  return tasks;
}

}  // namespace

std::map<int, TaskRecord> parseJobRecords(const std::string& text) {
  std::map<int, TaskRecord> states;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string field, ids;
    TaskRecord record;
    while (fields >> field) {
      if (field.rfind("ArrayTaskId=", 0) == 0) ids = field.substr(12);
      if (field.rfind("JobState=", 0) == 0) record.state = field.substr(9);
      if (field.rfind("ExitCode=", 0) == 0) {
        record.exitCode = std::atoi(field.c_str() + 9);
        const size_t colon = field.find(':');
        if (colon != std::string::npos) record.signal = std::atoi(field.c_str() + colon + 1);
      }
    }
    if (record.state.empty()) continue;
    for (int task : taskList(ids)) states[task] = record;
  }
  return states;
}

ArrayState queryArrayJob(const std::string& jobId) {
  ArrayState state;
  const ProcessOutput result = runProgram({"scontrol", "show", "job", "-o", jobId});
  if (result.status == 0) {
    state.tasks = parseJobRecords(result.out);
  } else if (result.err.find("Invalid job id") == std::string::npos) {
    state.reachable = false;
    state.error = result.err.empty() ? "scontrol failed" : result.err;
    while (!state.error.empty() && state.error.back() == '\n') state.error.pop_back();
  }
  return state;
}

bool isLiveState(const std::string& state) {
  static const std::set<std::string> live = {
      "PENDING",     "RUNNING",  "COMPLETING", "CONFIGURING", "REQUEUED",  "REQUEUE_HOLD",
      "REQUEUE_FED", "RESIZING", "SUSPENDED",  "STOPPED",     "SIGNALING", "STAGE_OUT"};
  return live.count(state) > 0;
}

}  // namespace farm
