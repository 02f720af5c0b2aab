// The listener's stream: standard output, written whole and flushed so that output keeps its order.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/streams.h"
#include "maxscrpt/listener.h"

#include <cstdio>
#include <mutex>

namespace {
class ListenerStream : public CharStream {
 public:
  ListenerStream() : CharStream(Permanent{}) {}

  void putch(char c) override {
    std::lock_guard<std::mutex> hold(lock_);
    std::fputc(c, stdout);
    std::fflush(stdout);
  }

  void puts(const char* text) override {
    std::lock_guard<std::mutex> hold(lock_);
    std::fputs(text, stdout);
    std::fflush(stdout);
  }

  void sprin1(CharStream* stream) override { stream->puts("<Listener>"); }
  const char* class_name() const override { return "WindowStream"; }

 private:
  std::mutex lock_;
};
}  // namespace

CharStream* listener_stream() {
  static ListenerStream* stream = new ListenerStream();
  return stream;
}
