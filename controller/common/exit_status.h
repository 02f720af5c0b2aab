// The exit statuses of `foxglove-worker render` and `farm`, which a scheduler acts on.
#pragma once

#include "controller/common/expected.h"

namespace controller {

/// What an exit status tells a scheduler. The values are a contract with farm managers: they
/// never change.
enum ExitStatus : int {
  /// Every frame rendered and its files verified.
  allFramesDone = 0,
  /// Some frames failed; the job itself is sound: retry the failed frames.
  someFramesFailed = 1,
  /// The command line is wrong: do not retry.
  usageError = 2,
  /// The job is bad (scene missing or unloadable, refused by the plug-in): retry nowhere.
  jobIsBad = 3,
  /// This machine is bad (maxsim missing or not starting, work folder unusable): retry elsewhere.
  nodeIsBad = 4,
  /// Stopped by SIGTERM, SIGINT or SIGHUP: retry the frames not rendered.
  stoppedBySignal = 5,
  /// `farm wait` or `farm report`: the farm job has not ended (yet).
  jobNotEnded = 6,
};

/// The exit status that a failure of this kind ends a command with.
inline ExitStatus exitStatusOf(FailureKind kind) {
  switch (kind) {
    case FailureKind::Frame:
      return someFramesFailed;
    case FailureKind::Usage:
      return usageError;
    case FailureKind::Job:
      return jobIsBad;
    case FailureKind::Node:
      return nodeIsBad;
    case FailureKind::Stopped:
      return stoppedBySignal;
  }
  return someFramesFailed;
}

}  // namespace controller
