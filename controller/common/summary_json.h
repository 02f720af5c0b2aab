// The machine-readable summary of a render (--summary-json): the one place it is written and read.
#pragma once

#include "controller/common/frame_record.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace controller {

/// Everything the summary file holds (its schema is in docs/worker.md).
struct JobSummary {
  std::string scene;
  std::string frameSpec;
  std::chrono::system_clock::time_point started;
  std::chrono::system_clock::time_point ended;
  int exitCode = 0;
  std::optional<std::string> jobError;
  /// Every frame of the --frames list once, in its order.
  std::vector<FrameRecord> frames;
};

/// One frame's object in the summary (also what the farm's job report shows of a frame).
nlohmann::json frameRecordJson(const FrameRecord& record);

/// The summary as JSON text (UTF-8; bytes that are not are replaced).
std::string summaryJson(const JobSummary& summary);

/// Writes the summary to path atomically: into path + ".tmp", then renamed over path.
/// Throws std::runtime_error when it cannot.
void writeSummaryJson(const std::string& path, const JobSummary& summary);

/// A summary file read back, as far as it goes: a missing exit code reads as -1, missing frame
/// fields as empty. Nothing when the file is missing, torn or not a summary (no "frames" list).
std::optional<JobSummary> readSummaryJson(const std::string& path);

/// The time in ISO 8601 UTC to the second ("2026-12-08T10:00:00Z").
std::string isoTime(std::chrono::system_clock::time_point time);

}  // namespace controller
