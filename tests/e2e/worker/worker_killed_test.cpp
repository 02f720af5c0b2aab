// foxglove-worker killed outright in the middle of a render: maxsim goes with it, and the next run
// keeps the plug-in log that the killed one never copied.
#include "e2e/worker/worker_fixture.h"

#include <fstream>
#include <iterator>
#include <memory>

namespace {

namespace fs = std::filesystem;

// maxsim goes with the killed worker; that session never copied its plug-in log, which the next
// run keeps before its own plug-in empties it.
TEST_F(WorkerInTheBackgroundTest, MaxsimEndsWithAKilledWorkerAndTheNextRunKeepsItsPluginLog) {
  std::unique_ptr<BackgroundProcess> worker;
  const long maxsim = startSlowRender(worker);
  ASSERT_GT(maxsim, 0) << worker->output();
  worker->kill();
  worker->wait();
  // Long before its render (a minute a row) would notice the lost connection.
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
