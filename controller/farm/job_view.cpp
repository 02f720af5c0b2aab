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

JobView viewJob(const FarmJob& job, const SlurmQuery& slurm) {
  JobView view;
  std::map<std::string, ArrayState> asked;
  const auto slurmState = [&](const std::string& jobId) -> const ArrayState& {
    auto found = asked.find(jobId);
    if (found == asked.end()) found = asked.emplace(jobId, slurm(jobId)).first;
    return found->second;
  };
  std::vector<std::map<int, FrameView>> taskFrames(job.chunks.size());
  for (size_t t = 0; t < job.chunks.size(); ++t) {
    TaskView task;
    task.task = static_cast<int>(t);
    std::map<int, FrameView>& frames = taskFrames[t];
    for (int frame : job.chunks[t]) frames[frame] = {frame, task.task, FrameState::Pending, {}, ""};
    for (const Submission& submission : job.submissions) {
      if (std::find(submission.tasks.begin(), submission.tasks.end(), task.task) ==
          submission.tasks.end())
        continue;
      task.jobId = submission.jobId;
      task.attempt = submission.attempt;
      task.log = attemptFile(job.directory, task.task, submission.attempt, ".log");
      task.exitCode.reset();
      task.jobError.clear();
      task.progress.clear();
      task.slurmState.clear();
      // Frames an earlier attempt left unfinished are this attempt's.
      for (auto& [number, frame] : frames)
        if (frame.state != FrameState::Done)
          frame = {number, task.task, FrameState::Pending, {}, ""};
      if (const auto summary = controller::readSummaryJson(
              attemptFile(job.directory, task.task, submission.attempt, ".json"))) {
        task.phase = TaskPhase::Ended;
        if (summary->exitCode >= 0) task.exitCode = summary->exitCode;
        if (summary->jobError) task.jobError = *summary->jobError;
        for (const controller::FrameRecord& record : summary->frames) {
          const auto found = frames.find(record.frame);
          if (found == frames.end() || found->second.state == FrameState::Done) continue;
          found->second.state = stateOf(record.status);
          found->second.record = record;
        }
        continue;
      }
      const ArrayState& state = slurmState(submission.jobId);
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
        task.phase = TaskPhase::Lost;
        task.slurmState = record == state.tasks.end() ? "" : record->second.state;
        // A worker that stopped before its summary (e.g. a usage error) still left its code.
        if (task.slurmState == "FAILED") task.exitCode = record->second.exitCode;
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
    }
    if (task.jobId.empty()) {
      // Its sbatch failed: nothing will run it until a retry submits it.
      task.phase = TaskPhase::Lost;
      for (auto& [number, frame] : frames) {
        frame.state = FrameState::NotRendered;
        frame.note = "the task was never submitted";
      }
    }
    for (int frame : job.chunks[t])
      if (frames[frame].state != FrameState::Done) task.unfinished.push_back(frame);
    view.tasks.push_back(task);
  }
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
