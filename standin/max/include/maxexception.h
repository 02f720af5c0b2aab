// The host's own exception: thrown by host operations (a failed scene load among them).
#pragma once

#include "maxtypes.h"

/// An error raised by the host, carrying a message and an optional code.
class MAXException {
 public:
  explicit MAXException(const MCHAR* msg, int code = 0) : message(msg ? msg : ""), error(code) {}
  MAXException(const MSTR& msg, int code = 0) : message(msg), error(code) {}

  MSTR message;
  int error;
};
