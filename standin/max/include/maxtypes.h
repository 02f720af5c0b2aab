// Basic host SDK types: characters and strings, time values, class IDs and validity intervals.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include <windows.h>

#include "sdk_exports.h"
#include "strclass.h"

#include <climits>

typedef char MCHAR;
#define _M(text) text
typedef CStr MSTR;

/// Time in ticks; a frame lasts GetTicksPerFrame() ticks.
typedef int TimeValue;
#define TIME_TICKSPERSEC 4800
#define TIME_NegInfinity (INT_MIN)
#define TIME_PosInfinity (INT_MAX)

typedef ULONG SClass_ID;

/// Identifies a plug-in class by two 32-bit parts.
class Class_ID {
 public:
  Class_ID() : a_(0xFFFFFFFFu), b_(0xFFFFFFFFu) {}
  Class_ID(ULONG a, ULONG b) : a_(a), b_(b) {}
  ULONG PartA() const { return a_; }
  ULONG PartB() const { return b_; }
  bool operator==(const Class_ID& other) const { return a_ == other.a_ && b_ == other.b_; }
  bool operator!=(const Class_ID& other) const { return !(*this == other); }

 private:
  ULONG a_;
  ULONG b_;
};

/// A range of time over which a value holds; an empty interval holds nowhere.
class Interval {
 public:
  Interval() : start_(TIME_NegInfinity), end_(TIME_NegInfinity) {}
  Interval(TimeValue start, TimeValue end) : start_(start), end_(end) {}
  void Set(TimeValue start, TimeValue end) {
    start_ = start;
    end_ = end;
  }
  void SetEmpty() { start_ = end_ = TIME_NegInfinity; }
  void SetInfinite() {
    start_ = TIME_NegInfinity;
    end_ = TIME_PosInfinity;
  }
  bool Empty() const { return start_ == TIME_NegInfinity && end_ == TIME_NegInfinity; }
  TimeValue Start() const { return start_; }
  TimeValue End() const { return end_; }

 private:
  TimeValue start_;
  TimeValue end_;
};

/// Ticks per frame of the loaded scene (160 unless the scene says otherwise).
CoreExport int GetTicksPerFrame();
/// Changes the ticks per frame of the current scene.
CoreExport void SetTicksPerFrame(int ticks);
