// foxglove-worker end to end where POSIX shows it: a stop signal sent to the worker (on Windows,
// Ctrl+C in scripts/e2e-windows-worker.sh: a test program under Wine has no console to send it
// through), and a standard output that cannot be written (/dev/full).
#include "e2e/worker/worker_fixture.h"

#include "support/background_process.h"

#include <signal.h>
#include <memory>

namespace {

// Output that cannot be written (a full device) is this node's failure, not a success.
TEST_F(WorkerEndToEndTest, AStandardOutputThatCannotBeWrittenIsANodeFault) {
  std::string command = "exec '" + workerProgram() + "'";
  for (const std::string& argument : render(exampleScene("animated.max"), "1"))
    command += " '" + argument + "'";
  const ProcessResult full =
      runProcess("/bin/sh", {"-c", command + " >/dev/full"}, "", ErrorStream::intoOutput);
  EXPECT_EQ(full.status, 4) << full.out;
  EXPECT_TRUE(contains(full.out, "cannot write its standard output")) << full.out;
}

TEST_F(WorkerInTheBackgroundTest, SigtermEndsMaxsimAndPrintsTheSummary) {
  std::unique_ptr<BackgroundProcess> worker;
  const long maxsim = startSlowRender(worker);
  ASSERT_GT(maxsim, 0) << worker->output();
  ::kill(static_cast<pid_t>(worker->pid()), SIGTERM);
  EXPECT_EQ(worker->wait(), 5) << worker->output();
  EXPECT_FALSE(processRuns(maxsim));
  const std::string out = worker->output();
  EXPECT_TRUE(contains(out, "ERROR: 1 stopped by SIGTERM; maxsim was ended\n")) << out;
  EXPECT_TRUE(contains(out, "FAILED: 2 0.00s not rendered: stopped by SIGTERM\n")) << out;
  EXPECT_TRUE(contains(out, "JOB: done 0/2 frames succeeded\n")) << out;
  EXPECT_TRUE(contains(out, "\nSUMMARY:\n")) << out;
}

}  // namespace
