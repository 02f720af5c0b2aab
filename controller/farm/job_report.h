// What `farm status` and `farm report` print, and the job summary JSON that `report --json` writes.
#pragma once

#include "controller/farm/farm_job.h"
#include "controller/farm/job_view.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

namespace farm {

/// One line for the job, then per task a line (phase, Slurm job id, exit code, progress or job
/// error) and per frame a line (state; a failed frame's error and its session logs).
void printStatus(const FarmJob& job, const JobView& view, std::ostream& out);

/// The job's summary as a table: one row per frame (state, task, seconds, first file or error).
void printReport(const FarmJob& job, const JobView& view, std::ostream& out);

/// The job's summary: the worker's summary shape for the whole job ("scene", "frames_spec",
/// "exit_code", "frames" in job order with each frame's record) plus "ended", "job_dir" and
/// "tasks" (task, frames, Slurm job id, attempt, state, exit code, job error, log).
nlohmann::json reportJson(const FarmJob& job, const JobView& view);

/// Writes reportJson to the file atomically (FILE.tmp renamed). Throws JobFileError.
void writeReportJson(const FarmJob& job, const JobView& view, const std::string& path);

}  // namespace farm
