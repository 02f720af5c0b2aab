// Test fixture: the calling thread's listener output goes to a string while a test runs.
#pragma once

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/excepts.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/parser.h"
#include "maxscrpt/listener.h"

#include <gtest/gtest.h>

#include <string>

class ListenerCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    MAXScript_TLS* locals = standin::thread_locals();
    saved_ = locals->current_stdout;
    // current_stdout is a root of the collector, so the capture stream stays alive.
    capture_ = new StringStream();
    locals->current_stdout = capture_;
  }
  void TearDown() override { standin::thread_locals()->current_stdout = saved_; }

  /// Everything written to the listener since the test began.
  std::string listener() const { return capture_->to_string(); }

  /// Runs a script text as the execute function does; gives its last value.
  static Value* run(const std::string& text) {
    one_value_local(source);
    std::string copy = text;
    auto* stream = new StringStream(copy.data());
    vl.source = stream;
    Value* result = nullptr;
    try {
      result = stream->execute_vf(nullptr, 0);
    } catch (...) {
      pop_value_locals();
      throw;
    }
    pop_value_locals();
    return result;
  }

  /// The readable form of the script's value.
  static std::string result_of(const std::string& text) { return readable_text(run(text)); }

  /// The printed form of the MAXScript error the script raises; empty when it raises none.
  static std::string error_of(const std::string& text) {
    try {
      run(text);
    } catch (MAXScriptException& error) {
      return error.printed();
    }
    return std::string();
  }

 private:
  CharStream* saved_ = nullptr;
  StringStream* capture_ = nullptr;
};
