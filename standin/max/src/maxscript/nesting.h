// How deeply the calling thread's script nests, within a budget that keeps it off the stack's end.
#pragma once

namespace mxs {

/// One level of nesting on the calling thread for as long as it lives: an expression parsed
/// inside another, or an execute inside another. Parsing and executing share one budget per
/// thread, because both recurse on the thread's stack; a script past it gets a MAXScript error
/// (raised by the caller) instead of running the host out of stack.
class NestingLevel {
 public:
  /// Levels a thread may hold at once. Far beyond hand-written scripts; a few hundred kilobytes
  /// of stack even in an instrumented build.
  static constexpr int limit = 256;

  NestingLevel();
  ~NestingLevel();
  NestingLevel(const NestingLevel&) = delete;
  NestingLevel& operator=(const NestingLevel&) = delete;

  /// True when this level is beyond the budget less `reserved` levels kept for what the caller
  /// goes on to nest inside it; the caller raises its error then.
  bool exceeded(int reserved = 0) const { return depth_ > limit - reserved; }

 private:
  int depth_;
};

/// Levels taken one at a time for as long as it lives, for chains that the parser reads in a
/// loop but that nest all the same: in a + b + c, and in a.b.c, each operator holds everything
/// before it one level deeper, and evaluating or freeing the chain recurses that deep.
class ChainLevels {
 public:
  ChainLevels() = default;
  ~ChainLevels();
  ChainLevels(const ChainLevels&) = delete;
  ChainLevels& operator=(const ChainLevels&) = delete;

  /// Takes one more level; true when the thread is then beyond the budget.
  bool add();

 private:
  int added_ = 0;
};

}  // namespace mxs
