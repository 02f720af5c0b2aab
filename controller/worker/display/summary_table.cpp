// Formatting the end-of-render table.
#include "controller/worker/display/summary_table.h"

#include "controller/common/text.h"
#include "controller/worker/display/progress_display.h"

#include <iomanip>

namespace worker {

namespace {

/// A frame never attempted did not fail: it reads apart from the failed ones.
const char* statusLabel(controller::FrameStatus status) {
  switch (status) {
    case controller::FrameStatus::Done:
      return "ok";
    case controller::FrameStatus::Failed:
      return "FAILED";
    case controller::FrameStatus::NotRendered:
      break;
  }
  return "NOT RUN";
}

}  // namespace

void printSummary(std::ostream& out, const std::vector<controller::FrameRecord>& records) {
  out << "SUMMARY:\n";
  out << std::left << "  " << std::setw(8) << "frame" << std::setw(8) << "status" << std::setw(10)
      << "time"
      << "files\n";
  const std::string indent(2 + 8 + 8 + 10, ' ');
  for (const controller::FrameRecord& record : records) {
    out << "  " << std::setw(8) << record.frame << std::setw(8) << statusLabel(record.status)
        << std::setw(10) << formatSeconds(record.seconds);
    if (!record.succeeded()) {
      out << controller::escapeControls(record.reason.substr(0, record.reason.find('\n'))) << "\n";
    } else if (record.files.empty()) {
      out << "(no files)\n";
    }
    for (size_t i = 0; i < record.files.size(); ++i) {
      out << (i == 0 && record.succeeded() ? "" : indent)
          << controller::escapeControls(record.files[i].localPath) << "\n";
    }
  }
  out << std::right;
}

}  // namespace worker
