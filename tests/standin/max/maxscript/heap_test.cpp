// The collectable heap: frames, globals and the evaluator keep values; the rest is reclaimed.
#include "support/listener_capture.h"

#include <thread>

namespace {

/// A value that reports its deletion.
class Probe : public Value {
 public:
  explicit Probe(bool* deleted) : deleted_(deleted) {}
  ~Probe() override { *deleted_ = true; }
  void sprin1(CharStream* stream) override { stream->puts("<Probe>"); }
  const char* class_name() const override { return "Probe"; }

 private:
  bool* deleted_;
};

class Heap : public ListenerCapture {};

TEST_F(Heap, AValueHeldInAFrameSurvivesACollectionAndOneNotHeldIsReclaimed) {
  bool heldDeleted = false;
  bool looseDeleted = false;
  {
    two_value_locals(held, other);
    vl.held = new Probe(&heldDeleted);
    new Probe(&looseDeleted);
    Collectable::gc();
    EXPECT_FALSE(heldDeleted);
    EXPECT_TRUE(looseDeleted);
    pop_value_locals();
  }
  Collectable::gc();
  EXPECT_TRUE(heldDeleted);
}

// A second frame on top of the caller's (in a function of its own, as nested frames are in real
// code): a collection while both stand keeps both values.
void holdInAnInnerFrameAndCollect(const bool& outerDeleted, bool& innerDeleted) {
  one_value_local(inner);
  vl.inner = new Probe(&innerDeleted);
  Collectable::gc();
  EXPECT_FALSE(outerDeleted);
  EXPECT_FALSE(innerDeleted);
  pop_value_locals();
}

TEST_F(Heap, FramesChainAndPopRestoresThePreviousHead) {
  MAXScript_TLS* locals = standin::thread_locals();
  Value** before = locals->current_locals_frame;
  bool outerDeleted = false;
  bool innerDeleted = false;
  {
    one_value_local(outer);
    vl.outer = new Probe(&outerDeleted);
    holdInAnInnerFrameAndCollect(outerDeleted, innerDeleted);
    Collectable::gc();
    EXPECT_FALSE(outerDeleted);
    EXPECT_TRUE(innerDeleted);
    pop_value_locals();
  }
  EXPECT_EQ(locals->current_locals_frame, before);
  Collectable::gc();
  EXPECT_TRUE(outerDeleted);
}

TEST_F(Heap, ThreadResultAndGlobalsAreRoots) {
  bool resultDeleted = false;
  standin::thread_locals()->current_result = new Probe(&resultDeleted);
  run("heapTestGlobal = \"kept\"");
  Collectable::gc();
  EXPECT_FALSE(resultDeleted);
  EXPECT_EQ(result_of("heapTestGlobal"), "\"kept\"");
  standin::thread_locals()->current_result = nullptr;
  Collectable::gc();
  EXPECT_TRUE(resultDeleted);
}

TEST_F(Heap, ACollectionInsideAScriptKeepsLocalsOperandsAndArguments) {
  EXPECT_EQ(result_of("(local s = \"abc\"; gc(); s + \"d\")"), "\"abcd\"");
  EXPECT_EQ(result_of("\"x\" + (gc(); \"y\")"), "\"xy\"");
  EXPECT_EQ(result_of("execute (\"gc(); \" + \"7\")"), "7");
  EXPECT_EQ(listener(), "");
}

TEST_F(Heap, AnotherThreadsFrameIsARootUntilTheThreadEnds) {
  bool deleted = false;
  bool threadHolds = false;
  std::mutex lock;
  std::condition_variable changed;
  bool release = false;
  std::thread holder([&] {
    one_value_local(held);
    vl.held = new Probe(&deleted);
    {
      std::lock_guard<std::mutex> hold(lock);
      threadHolds = true;
    }
    changed.notify_all();
    std::unique_lock<std::mutex> wait(lock);
    changed.wait(wait, [&] { return release; });
    pop_value_locals();
  });
  {
    std::unique_lock<std::mutex> wait(lock);
    changed.wait(wait, [&] { return threadHolds; });
  }
  Collectable::gc();
  EXPECT_FALSE(deleted);
  {
    std::lock_guard<std::mutex> hold(lock);
    release = true;
  }
  changed.notify_all();
  holder.join();
  Collectable::gc();
  EXPECT_TRUE(deleted);
}

TEST(ThreadLocals, AThreadHasNoneUntilInitialisedThenWritesToTheListener) {
  bool before = true;
  bool after = false;
  bool listenerIsStdout = false;
  DWORD error = 1;
  std::thread fresh([&] {
    before = TlsGetValue(thread_locals_index) != nullptr;
    init_thread_locals();
    error = GetLastError();
    auto* locals = static_cast<MAXScript_TLS*>(TlsGetValue(thread_locals_index));
    after = locals != nullptr;
    listenerIsStdout = locals && locals->current_stdout == listener_stream();
  });
  fresh.join();
  EXPECT_FALSE(before);
  EXPECT_TRUE(after);
  EXPECT_EQ(error, ERROR_SUCCESS);
  EXPECT_TRUE(listenerIsStdout);
}

}  // namespace
