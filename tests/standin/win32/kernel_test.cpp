// Tick count wrap-around, recursive critical sections and thread ids of the Windows stand-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class TickCountTest : public ::testing::Test {
 protected:
  void TearDown() override { standin::set_tick_count_offset(0); }
};

TEST_F(TickCountTest, WrapsAtThirtyTwoBitsAndDifferencesStayRight) {
  const DWORD now = GetTickCount();
  // Put the counter 20 ms before the wrap.
  standin::set_tick_count_offset(static_cast<DWORD>(0xFFFFFFFFu - 20u - now));
  const DWORD before = GetTickCount();
  EXPECT_GE(before, 0xFFFFFFFFu - 40u);
  DWORD after = before;
  while (after >= before) after = GetTickCount();  // spins until the counter has wrapped
  EXPECT_LT(after, 1000u);
  EXPECT_LT(static_cast<DWORD>(after - before), 1000u);
}

TEST(CriticalSectionTest, IsRecursiveForItsOwnerAndExcludesOthers) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  std::atomic<bool> otherGotIt{true};
  std::thread([&] { otherGotIt = TryEnterCriticalSection(&section) != FALSE; }).join();
  EXPECT_FALSE(otherGotIt);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  std::thread([&] {
    otherGotIt = TryEnterCriticalSection(&section) != FALSE;
    if (otherGotIt) LeaveCriticalSection(&section);
  }).join();
  EXPECT_TRUE(otherGotIt);
  DeleteCriticalSection(&section);
}

TEST(ThreadIdTest, IsStablePerThreadAndDistinctBetweenThreads) {
  const DWORD mine = GetCurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(mine, GetCurrentThreadId());
  DWORD other = 0;
  std::thread([&] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, mine);
}

TEST(LastErrorTest, IsKeptPerThread) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  std::thread([] { SetLastError(ERROR_ACCESS_DENIED); }).join();
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
