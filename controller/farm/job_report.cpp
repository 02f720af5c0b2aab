// Printing a farm job's state and writing its summary.
#include "controller/farm/job_report.h"

#include "controller/common/summary_json.h"
#include "controller/worker/display/progress_display.h"

#include <cstdio>
#include <fstream>

namespace farm {
namespace {

const char* phaseName(TaskPhase phase) {
  switch (phase) {
    case TaskPhase::Pending:
      return "pending";
    case TaskPhase::Running:
      return "running";
    case TaskPhase::Ended:
      return "ended";
    case TaskPhase::Lost:
      return "lost";
    case TaskPhase::Unknown:
      return "unknown";
  }
  return "?";
}

std::string firstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

// Why a frame is not done: the worker's error, or the farm's note for a lost task.
std::string frameError(const FrameView& frame) {
  const std::string error = frame.record ? frame.record->reason : "";
  return error.empty() ? frame.note : error;
}

size_t doneCount(const JobView& view) {
  size_t done = 0;
  for (const FrameView& frame : view.frames) done += frame.state == FrameState::Done;
  return done;
}

}  // namespace

void printStatus(const FarmJob& job, const JobView& view, std::ostream& out) {
  out << "job " << job.directory << ": " << (view.ended ? "ended" : "not ended") << ", "
      << doneCount(view) << "/" << view.frames.size() << " frames done";
  if (view.ended) out << ", exit " << jobExitCode(view);
  out << "\n";
  for (const TaskView& task : view.tasks) {
    out << "task " << task.task << " [" << frameListText(job.chunks[static_cast<size_t>(task.task)])
        << "] " << phaseName(task.phase);
    if (!task.jobId.empty()) out << " (Slurm " << task.jobId << "_" << task.task << ")";
    if (!task.slurmState.empty()) out << " " << task.slurmState;
    if (task.exitCode) out << " exit " << *task.exitCode;
    if (!task.progress.empty()) out << " " << task.progress;
    if (!task.jobError.empty()) out << ": " << firstLine(task.jobError);
    out << "\n";
    for (const FrameView& frame : view.frames) {
      if (frame.task != task.task) continue;
      out << "  frame " << frame.frame << " " << frameStateName(frame.state);
      if (frame.state == FrameState::Failed || frame.state == FrameState::NotRendered) {
        const std::string error = frameError(frame);
        if (!error.empty()) out << ": " << firstLine(error);
        if (frame.record && !frame.record->pluginLog.empty())
          out << " (plugin_log " << frame.record->pluginLog << ")";
        if (frame.record && !frame.record->maxsimLog.empty())
          out << " (maxsim_log " << frame.record->maxsimLog << ")";
      }
      out << "\n";
    }
  }
}

void printReport(const FarmJob& job, const JobView& view, std::ostream& out) {
  out << "scene " << job.scene << ", frames " << job.frameSpec << ": " << doneCount(view) << "/"
      << view.frames.size() << " done" << (view.ended ? "" : " (not ended)") << "\n";
  for (const FrameView& frame : view.frames) {
    out << "  " << frame.frame << "  " << frameStateName(frame.state) << "  task " << frame.task;
    if (frame.record) out << "  " << worker::formatSeconds(frame.record->seconds);
    if (frame.state == FrameState::Done && frame.record && !frame.record->files.empty())
      out << "  " << frame.record->files.front().localPath;
    else if (!frameError(frame).empty())
      out << "  " << firstLine(frameError(frame));
    out << "\n";
  }
  if (view.ended) out << "exit " << jobExitCode(view) << "\n";
}

nlohmann::json reportJson(const FarmJob& job, const JobView& view) {
  nlohmann::json tasks = nlohmann::json::array();
  for (const TaskView& task : view.tasks)
    tasks.push_back({{"task", task.task},
                     {"frames", job.chunks[static_cast<size_t>(task.task)]},
                     {"slurm_job_id", task.jobId},
                     {"attempt", task.attempt},
                     {"state", phaseName(task.phase)},
                     {"slurm_state", task.slurmState},
                     {"exit_code", task.exitCode ? nlohmann::json(*task.exitCode) : nullptr},
                     {"job_error", task.jobError.empty() ? nullptr : nlohmann::json(task.jobError)},
                     {"log", task.log}});
  nlohmann::json frames = nlohmann::json::array();
  for (const FrameView& frame : view.frames) {
    nlohmann::json entry =
        frame.record ? controller::frameRecordJson(*frame.record) : nlohmann::json::object();
    entry["frame"] = frame.frame;
    entry["status"] = frameStateName(frame.state);
    entry["task"] = frame.task;
    if (!entry.contains("error") || entry["error"].is_null())
      entry["error"] = frame.note.empty() ? nullptr : nlohmann::json(frame.note);
    frames.push_back(entry);
  }
  return {{"scene", job.scene},
          {"frames_spec", job.frameSpec},
          {"job_dir", job.directory},
          {"ended", view.ended},
          {"exit_code", view.ended ? nlohmann::json(jobExitCode(view)) : nullptr},
          {"tasks", tasks},
          {"frames", frames}};
}

void writeReportJson(const FarmJob& job, const JobView& view, const std::string& path) {
  {
    std::ofstream out(path + ".tmp", std::ios::trunc);
    out << reportJson(job, view).dump(2) << "\n";
    if (!out.flush()) throw JobFileError("cannot write " + path + ".tmp");
  }
  if (std::rename((path + ".tmp").c_str(), path.c_str()) != 0)
    throw JobFileError("cannot replace " + path);
}

}  // namespace farm
