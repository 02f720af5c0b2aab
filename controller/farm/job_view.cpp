// Putting a farm job's state together: summaries first, then console logs and Slurm's records.
#include "controller/farm/job_view.h"

#include "controller/common/exit_status.h"
#include "controller/common/summary_json.h"

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace farm {
namespace {

FrameState stateOf(controller::FrameStatus status) {
  switch (status) {
    case controller::FrameStatus::Done:
      return FrameState::Done;
    case controller::FrameStatus::Failed:
      return FrameState::Failed;
    case controller::FrameStatus::NotRendered:
      break;
  }
  return FrameState::NotRendered;
}

// A running task's console log (the worker's stable lines): frames finished so far, the frame
// being rendered, and the last progress line.
void readProgress(TaskView& task, std::map<int, FrameView*>& frames) {
  std::ifstream in(task.log);
  static const std::regex frameLine(R"(^FRAME: (-?\d+) (start|done|failed))");
  static const std::regex progressLine(R"(^PROGRESS: \d+%.*)");
  std::string line;
  std::smatch match;
  while (std::getline(in, line)) {
    if (std::regex_search(line, match, frameLine)) {
      const auto found = frames.find(std::stoi(match[1]));
      if (found == frames.end() || found->second->state == FrameState::Done) continue;
      const std::string what = match[2];
      found->second->state = what == "start"  ? FrameState::Running
                             : what == "done" ? FrameState::Done
                                              : FrameState::Failed;
    } else if (std::regex_match(line, progressLine)) {
      task.progress = line.substr(10);
    }
  }
}

// The last non-empty line of a file: what a task that left no summary said last.
std::string lastLine(const std::string& path) {
  std::ifstream in(path);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return last;
}

}  // namespace

const char* frameStateName(FrameState state) {
  switch (state) {
    case FrameState::Pending:
      return "pending";
    case FrameState::Running:
      return "running";
    case FrameState::Done:
      return "done";
    case FrameState::Failed:
      return "failed";
    case FrameState::NotRendered:
      return "not_rendered";
  }
  return "?";
}

namespace {

using TaskFrames = std::map<int, FrameView>;

// Asks Slurm about each array job once per view.
class SlurmCache {
 public:
  explicit SlurmCache(const SlurmQuery& slurm) : slurm_(slurm) {}
  const ArrayState& operator()(const std::string& jobId) {
    auto found = asked_.find(jobId);
    if (found == asked_.end()) found = asked_.emplace(jobId, slurm_(jobId)).first;
    return found->second;
  }

 private:
  const SlurmQuery& slurm_;
  std::map<std::string, ArrayState> asked_;
};

// The attempt's summary, when it has one: the task ended, and its frames say how.
bool applySummary(const FarmJob& job, const Submission& submission, TaskView& task,
                  TaskFrames& frames) {
  const auto summary = controller::readSummaryJson(
      attemptFile(job.directory, task.task, submission.attempt, ".json"));
  if (!summary) return false;
  task.phase = TaskPhase::Ended;
  if (summary->exitCode >= 0) task.exitCode = summary->exitCode;
  if (summary->jobError) task.jobError = *summary->jobError;
  for (const controller::FrameRecord& record : summary->frames) {
    const auto found = frames.find(record.frame);
    if (found == frames.end() || found->second.state == FrameState::Done) continue;
    found->second.state = stateOf(record.status);
    found->second.record = record;
  }
  return true;
}

// A task without a summary and without a live Slurm record ended without telling: lost.
void markLost(const TaskRecord* record, TaskView& task, TaskFrames& frames) {
  task.phase = TaskPhase::Lost;
  task.slurmState = record ? record->state : "";
  // A worker that stopped before its summary (e.g. a usage error) still left its code.
  if (task.slurmState == "FAILED") task.exitCode = record->exitCode;
  task.jobError = lastLine(task.log);
  const std::string why =
      "the task ended without the worker's summary (Slurm: " +
      (task.slurmState.empty() ? std::string("no record left") : task.slurmState) + ")";
  for (auto& [number, frame] : frames)
    if (frame.state != FrameState::Done) {
      frame.state = FrameState::NotRendered;
      frame.note = why;
    }
}

// The attempt as Slurm has it: unknown, pending, running (with its log's progress) or lost.
void applySlurm(const ArrayState& state, TaskView& task, TaskFrames& frames, JobView& view) {
  const auto record = state.tasks.find(task.task);
  if (!state.reachable) {
    task.phase = TaskPhase::Unknown;
    view.slurmUnreachable = true;
    view.slurmError = state.error;
  } else if (record != state.tasks.end() && isLiveState(record->second.state)) {
    task.slurmState = record->second.state;
    task.phase = task.slurmState == "PENDING" ? TaskPhase::Pending : TaskPhase::Running;
    if (task.phase == TaskPhase::Running) {
      std::map<int, FrameView*> pointers;
      for (auto& [number, frame] : frames) pointers[number] = &frame;
      readProgress(task, pointers);
    }
  } else {
    markLost(record == state.tasks.end() ? nullptr : &record->second, task, frames);
  }
}

// One task through its submissions in order: the latest attempt decides its phase; a frame
// once done stays done.
TaskView viewTask(const FarmJob& job, int t, TaskFrames& frames, SlurmCache& slurm, JobView& view) {
  TaskView task;
  task.task = t;
  const std::vector<int>& chunk = job.chunks[static_cast<size_t>(t)];
  for (int frame : chunk) frames[frame] = {frame, t, FrameState::Pending, {}, ""};
  for (const Submission& submission : job.submissions) {
    if (std::find(submission.tasks.begin(), submission.tasks.end(), t) == submission.tasks.end())
      continue;
    task.jobId = submission.jobId;
    task.attempt = submission.attempt;
    task.log = attemptFile(job.directory, t, submission.attempt, ".log");
    task.exitCode.reset();
    task.jobError.clear();
    task.progress.clear();
    task.slurmState.clear();
    // Frames an earlier attempt left unfinished are this attempt's.
    for (auto& [number, frame] : frames)
      if (frame.state != FrameState::Done) frame = {number, t, FrameState::Pending, {}, ""};
    if (!applySummary(job, submission, task, frames))
      applySlurm(slurm(submission.jobId), task, frames, view);
  }
  if (task.jobId.empty()) {
    // Its sbatch failed: nothing will run it until a retry submits it.
    task.phase = TaskPhase::Lost;
    for (auto& [number, frame] : frames) {
      frame.state = FrameState::NotRendered;
      frame.note = "the task was never submitted";
    }
  }
  for (int frame : chunk)
    if (frames[frame].state != FrameState::Done) task.unfinished.push_back(frame);
  return task;
}

}  // namespace

JobView viewJob(const FarmJob& job, const SlurmQuery& slurm) {
  JobView view;
  SlurmCache cache(slurm);
  std::vector<TaskFrames> taskFrames(job.chunks.size());
  for (size_t t = 0; t < job.chunks.size(); ++t)
    view.tasks.push_back(viewTask(job, static_cast<int>(t), taskFrames[t], cache, view));
  view.ended = true;
  for (const TaskView& task : view.tasks)
    if (task.phase != TaskPhase::Ended && task.phase != TaskPhase::Lost) view.ended = false;
  // Frames in the job's order, each from the task that has it.
  std::map<int, const FrameView*> byFrame;
  for (const auto& frames : taskFrames)
    for (const auto& [number, frame] : frames) byFrame[number] = &frame;
  for (int frame : job.frames)
    if (byFrame.count(frame)) view.frames.push_back(*byFrame[frame]);
  return view;
}

std::map<int, controller::FrameRecord> doneRecords(const FarmJob& job, int task) {
  std::map<int, controller::FrameRecord> done;
  for (const Submission& submission : job.submissions) {
    if (std::find(submission.tasks.begin(), submission.tasks.end(), task) == submission.tasks.end())
      continue;
    if (const auto summary = controller::readSummaryJson(
            attemptFile(job.directory, task, submission.attempt, ".json")))
      for (const controller::FrameRecord& record : summary->frames)
        if (record.succeeded()) done.emplace(record.frame, record);
  }
  return done;
}

std::vector<int> unfinishedFrames(const JobView& view, int task) {
  for (const TaskView& t : view.tasks)
    if (t.task == task) return t.unfinished;
  return {};
}

int jobExitCode(const JobView& view) {
  using namespace controller;
  std::vector<int> codes;
  for (const TaskView& task : view.tasks) {
    if (task.unfinished.empty()) continue;
    // A task without a code was lost with its node.
    int code = task.exitCode ? *task.exitCode : nodeIsBad;
    // A task that says it succeeded but left frames unfinished failed them.
    if (code == allFramesDone) code = someFramesFailed;
    if (code < someFramesFailed || code > stoppedBySignal) code = nodeIsBad;
    codes.push_back(code);
  }
  if (codes.empty()) return allFramesDone;
  // The code that tells the most about the job wins: a bad job or command line is retried
  // nowhere, failed frames are retried, a bad node elsewhere, a stop last.
  for (int code : {jobIsBad, usageError, someFramesFailed, nodeIsBad, stoppedBySignal})
    if (std::find(codes.begin(), codes.end(), code) != codes.end()) return code;
  return nodeIsBad;
}

std::vector<int> retryableTasks(const JobView& view) {
  std::vector<int> tasks;
  for (const TaskView& task : view.tasks) {
    if (task.phase != TaskPhase::Ended && task.phase != TaskPhase::Lost) continue;
    if (task.exitCode &&
        (*task.exitCode == controller::usageError || *task.exitCode == controller::jobIsBad))
      continue;
    if (!task.unfinished.empty()) tasks.push_back(task.task);
  }
  return tasks;
}

}  // namespace farm
