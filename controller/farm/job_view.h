// A farm job's state put together from its tasks' summaries, their console logs and Slurm.
#pragma once

#include "controller/farm/farm_job.h"
#include "controller/farm/slurm_state.h"
#include "controller/common/frame_record.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace farm {

enum class FrameState { Pending, Running, Done, Failed, NotRendered };
enum class TaskPhase { Pending, Running, Ended, Lost, Unknown };

/// One frame: its state, the task that has it, and the worker's record of it when there is one
/// (the frame object of the task's summary: files, error, fault report, session logs).
struct FrameView {
  int frame = 0;
  int task = 0;
  FrameState state = FrameState::Pending;
  std::optional<controller::FrameRecord> record;
  /// Why a frame is not rendered when the worker could not say it (task lost).
  std::string note;
};

/// One task, as of its latest attempt.
struct TaskView {
  int task = 0;
  std::string jobId;
  int attempt = 0;
  TaskPhase phase = TaskPhase::Pending;
  /// Slurm's state of the latest attempt, when Slurm still has its record.
  std::string slurmState;
  /// The worker's exit code of the latest attempt: from its summary, or Slurm's for a task
  /// that failed without one.
  std::optional<int> exitCode;
  /// The job-level error of its summary; for a lost task, the last line of its log.
  std::string jobError;
  /// While running: the last progress line of its console log.
  std::string progress;
  std::string log;
  /// Its frames that are not done, in its frame order.
  std::vector<int> unfinished;
};

/// The whole job: tasks in task order, frames in the job's frame order (in a tiled job, as the
/// stitching task has them: a frame is done when it is stitched).
struct JobView {
  std::vector<TaskView> tasks;
  std::vector<FrameView> frames;
  /// True when no task can change any more (each has a summary or is lost).
  bool ended = false;
  /// True when Slurm could not be asked about some task without a summary.
  bool slurmUnreachable = false;
  std::string slurmError;
};

/// Asks Slurm about one array job; tests give their own.
using SlurmQuery = std::function<ArrayState(const std::string& jobId)>;

/// Reads the job's summaries and logs, and asks Slurm about attempts that have no summary. A
/// frame once done stays done; a later attempt's record replaces an earlier failure. A task
/// whose latest attempt has neither a summary nor a live Slurm record is lost: its unfinished
/// frames are not rendered.
JobView viewJob(const FarmJob& job, const SlurmQuery& slurm);

/// The job's exit code by the worker's rules, once ended: 0 when every frame is done; else, of
/// the tasks with unfinished frames, the first code present in the order 3 (bad job), 2 (usage),
/// 1 (frames failed), 4 (node: also a lost task or an unexpected code), 5 (stopped).
int jobExitCode(const JobView& view);

/// The tasks `farm retry` resubmits: ended or lost with unfinished frames, and not refused for
/// good (exit codes 2 and 3 are not retried).
std::vector<int> retryableTasks(const JobView& view);

/// The frames of a task that are not done (of its own: a tile task's tile of the frame).
std::vector<int> unfinishedFrames(const JobView& view, int task);

/// The worker's records of the task's done frames (frame -> record), from the summaries of all
/// its attempts.
std::map<int, controller::FrameRecord> doneRecords(const FarmJob& job, int task);

const char* frameStateName(FrameState state);

}  // namespace farm
