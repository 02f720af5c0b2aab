// The host's log: one line per entry on standard error.
#include "max.h"

#include "log.h"

#include "core/host_log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace standin {

namespace {

const char* kindName(DWORD type) {
  if (type & SYSLOG_ERROR) return "error";
  if (type & SYSLOG_WARN) return "warning";
  if (type & SYSLOG_INFO) return "info";
  return "debug";
}

class StandardErrorLog : public LogSys {
 public:
  void LogEntry(DWORD type, BOOL, const MCHAR* title, const MCHAR* format, ...) override {
    va_list args;
    va_start(args, format);
    va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format ? format : "", sizing);
    va_end(sizing);
    std::vector<char> text(length > 0 ? length + 1 : 1, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    // One write per entry, so that entries from several threads do not interleave.
    std::lock_guard<std::mutex> hold(mutex_);
    std::fprintf(stderr, "maxsim: %s: %s: %s\n", kindName(type), title ? title : "", text.data());
    std::fflush(stderr);
  }

 private:
  std::mutex mutex_;
};

}  // namespace

LogSys* hostLog() {
  static StandardErrorLog log;
  return &log;
}

}  // namespace standin
