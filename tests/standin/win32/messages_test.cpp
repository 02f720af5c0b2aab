// The per-thread message queue: posting from other threads, pumping, and queues that end with their
// thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

namespace {

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

TEST(MessageQueueTest, WorkPostedFromAnotherThreadRunsOnTheOwnerWhenItPumps) {
  const DWORD owner = GetCurrentThreadId();
  std::vector<int> order;
  DWORD ranOn = 0;
  std::thread poster([&] {
    ASSERT_TRUE(standin::post_thread_work(owner, [&] {
      order.push_back(1);
      ranOn = GetCurrentThreadId();
    }));
    ASSERT_TRUE(standin::post_thread_work(owner, [&] { order.push_back(2); }));
  });
  poster.join();
  EXPECT_TRUE(order.empty());  // nothing runs until the owner pumps
  EXPECT_EQ(standin::pending_messages(owner), 2u);
  pump();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(ranOn, owner);
  EXPECT_EQ(standin::pending_messages(owner), 0u);
}

TEST(MessageQueueTest, PeekWithoutRemoveLeavesTheMessage) {
  const DWORD self = GetCurrentThreadId();
  ASSERT_TRUE(PostThreadMessageA(self, WM_USER + 7, 42, 43));
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 7);
  EXPECT_EQ(msg.wParam, 42u);
  EXPECT_EQ(msg.lParam, 43);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueueTest, PostingToAThreadThatHasEndedOrNeverExistedFails) {
  std::promise<DWORD> id;
  std::thread([&] { id.set_value(GetCurrentThreadId()); }).join();
  const DWORD ended = id.get_future().get();
  EXPECT_FALSE(standin::post_thread_work(ended, [] { FAIL() << "ran on a dead thread"; }));
  EXPECT_FALSE(PostThreadMessageA(0xFFFFFF00u, WM_USER, 0, 0));
}

TEST(MessageQueueTest, WorkLeftInTheQueueOfAnEndingThreadIsDropped) {
  std::promise<DWORD> id;
  std::promise<void> posted;
  bool ran = false;
  std::thread worker([&] {
    id.set_value(GetCurrentThreadId());
    posted.get_future().wait();  // ends without pumping
  });
  EXPECT_TRUE(standin::post_thread_work(id.get_future().get(), [&] { ran = true; }));
  posted.set_value();
  worker.join();
  EXPECT_FALSE(ran);
}

}  // namespace
