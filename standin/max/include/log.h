// The host's system log: entries that plug-ins and the host write, shown on standard error here.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

#define SYSLOG_ERROR 0x00000001u
#define SYSLOG_WARN 0x00000002u
#define SYSLOG_INFO 0x00000004u
#define SYSLOG_DEBUG 0x00000008u

#define NO_DIALOG FALSE
#define DISPLAY_DIALOG TRUE

/// The host's log. Each entry is one line on standard error: "maxsim: <kind>: <title>: <text>".
class LogSys {
 public:
  /// Writes one entry; format and the arguments after it follow printf. `dialogue` is ignored
  /// (there is no user to show a dialogue to).
  virtual void LogEntry(DWORD type, BOOL dialogue, const MCHAR* title, const MCHAR* format, ...)
      __attribute__((format(printf, 5, 6))) = 0;

 protected:
  ~LogSys() = default;
};
