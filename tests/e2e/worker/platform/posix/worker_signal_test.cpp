// foxglove-worker end to end where POSIX shows it: stop signals sent to the worker and the worker
// killed outright (on Windows: Ctrl+C and a killed worker in scripts/e2e-windows-worker.sh), and a
// standard output that cannot be written (/dev/full).
#include "e2e/worker/worker_fixture.h"

#include "support/background_process.h"

#include <csignal>
#include <iterator>
#include <memory>

namespace {

namespace fs = std::filesystem;

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

/// The worker in the background on a frame that renders slowly, with maxsim's pid from its notes.
class WorkerSignalTest : public WorkerEndToEndTest {
 protected:
  long startSlowRender(std::unique_ptr<BackgroundProcess>& worker) {
    const std::string scene = changedScene("animated.max", {{"render", {{"ms_per_row", 60000}}}});
    worker = std::make_unique<BackgroundProcess>(workerProgram(), render(scene, "1-2"),
                                                 path("worker.out"));
    EXPECT_TRUE(worker->waitForOutput("FRAME: 1 start", 60)) << worker->output();
    const std::string out = worker->output();
    const size_t at = out.find("maxsim pid ");
    if (at == std::string::npos) return 0;
    return std::stol(out.substr(at + 11));
  }
};

TEST_F(WorkerSignalTest, SigtermEndsMaxsimAndPrintsTheSummary) {
  std::unique_ptr<BackgroundProcess> worker;
  const long maxsim = startSlowRender(worker);
  ASSERT_GT(maxsim, 0) << worker->output();
  worker->signal(SIGTERM);
  EXPECT_EQ(worker->wait(), 5) << worker->output();
  EXPECT_FALSE(processRuns(maxsim));
  const std::string out = worker->output();
  EXPECT_TRUE(contains(out, "ERROR: 1 stopped by SIGTERM; maxsim was ended\n")) << out;
  EXPECT_TRUE(contains(out, "FAILED: 2 0.00s not rendered: stopped by SIGTERM\n")) << out;
  EXPECT_TRUE(contains(out, "JOB: done 0/2 frames succeeded\n")) << out;
  EXPECT_TRUE(contains(out, "\nSUMMARY:\n")) << out;
}

TEST_F(WorkerSignalTest, MaxsimDiesWithAKilledWorker) {
  std::unique_ptr<BackgroundProcess> worker;
  const long maxsim = startSlowRender(worker);
  ASSERT_GT(maxsim, 0) << worker->output();
  worker->signal(SIGKILL);
  worker->wait();
  // Long before its render (a minute a row) would notice the lost connection.
  EXPECT_TRUE(waitUntilEnded(maxsim, 20));
}

// The killed worker's session never copied its plug-in log; the next run keeps it before its own
// plug-in empties it.
TEST_F(WorkerSignalTest, AKilledWorkersPluginLogIsKeptByTheNextRun) {
  std::unique_ptr<BackgroundProcess> worker;
  const long maxsim = startSlowRender(worker);
  ASSERT_GT(maxsim, 0) << worker->output();
  worker->signal(SIGKILL);
  worker->wait();
  ASSERT_TRUE(waitUntilEnded(maxsim, 20));
  const std::string kept = path("work/logs/run-1-session-1-plugin.log");
  ASSERT_FALSE(fs::exists(kept));
  const ProcessResult next = runWorker(render(exampleScene("animated.max"), "1"));
  EXPECT_EQ(next.status, 0) << next.out;
  ASSERT_TRUE(fs::exists(kept)) << next.out;
  std::ifstream in(kept);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(contains(log, "Renderframe 1")) << log;
}

}  // namespace
