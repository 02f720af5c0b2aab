// The host SDK's narrow string, CStr (MSTR): its text through data(), and nothing that turns it
// into a standard string or writes it to a stream by itself.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "sdk_exports.h"

#include <string>

/// A narrow string as the host keeps them. Read its text with data(); a const CStr converts to
/// nothing, so `std::string + s` and `stream << s` need `s.data()`, as they do with the host's.
class UtilExport CStr {
 public:
  CStr() = default;
  /// A copy of the text (null: empty).
  CStr(const char* text) : text_(text ? text : "") {}

  char* data() { return &text_[0]; }
  const char* data() const { return text_.c_str(); }
  /// Writable text, as the host's string converts; not on a const string.
  operator char*() { return &text_[0]; }

  int Length() const { return static_cast<int>(text_.size()); }
  bool isNull() const { return text_.empty(); }

  CStr& operator=(const char* text) {
    text_ = text ? text : "";
    return *this;
  }
  CStr& operator+=(const CStr& other) {
    text_ += other.text_;
    return *this;
  }
  bool operator==(const CStr& other) const { return text_ == other.text_; }
  bool operator!=(const CStr& other) const { return text_ != other.text_; }
  bool operator<(const CStr& other) const { return text_ < other.text_; }

 private:
  std::string text_;
};
