// The farm job's state without Slurm: chunks, Slurm's records, summaries and logs merged across
// attempts, the job's exit code and what a retry takes; submit's option checks.
#include "controller/farm/farm_job.h"
#include "controller/farm/farm_options.h"
#include "controller/farm/job_view.h"
#include "controller/worker/run/options.h"

#include "support/temp_folder.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using farm::FrameState;
using farm::TaskPhase;

TEST(FarmJobTest, ChunksKeepFrameOrderAndTheLastChunkIsShort) {
  EXPECT_EQ(farm::chunkFrames({9, 1, 5, 3, 7}, 2),
            (std::vector<std::vector<int>>{{9, 1}, {5, 3}, {7}}));
  EXPECT_EQ(farm::chunkFrames({1, 2}, 10), (std::vector<std::vector<int>>{{1, 2}}));
  EXPECT_EQ(farm::frameListText({-2, 0, 14}), "-2,0,14");
}

TEST(FarmJobTest, SlurmRecordsGiveEveryTaskItsStateIncludingCondensedPendingOnes) {
  const std::string text =
      "JobId=12 ArrayJobId=10 ArrayTaskId=2-3,4%2 JobName=f JobState=PENDING Reason=None\n"
      "JobId=13 ArrayJobId=10 ArrayTaskId=7 JobName=f JobState=FAILED ExitCode=3:0\n"
      "JobId=11 ArrayJobId=10 ArrayTaskId=1 JobName=f JobState=RUNNING Reason=None\n"
      "JobId=10 ArrayJobId=10 ArrayTaskId=0 JobName=f JobState=TIMEOUT Reason=TimeLimit\n";
  const farm::TaskRecord pending{"PENDING", 0};
  EXPECT_EQ(farm::parseJobRecords(text), (std::map<int, farm::TaskRecord>{{0, {"TIMEOUT", 0}},
                                                                          {1, {"RUNNING", 0}},
                                                                          {2, pending},
                                                                          {3, pending},
                                                                          {4, pending},
                                                                          {7, {"FAILED", 3}}}));
}

TEST(FarmJobTest, JobDescriptionSurvivesSavingAndLoading) {
  TempFolder folder;
  farm::FarmJob job;
  job.directory = folder.path().string();
  job.scene = "/s/a.max";
  job.frames = {1, 2, 3};
  job.chunks = {{1, 2}, {3}};
  job.renderArgs = {"--camera", "it's"};
  job.submissions = {{"41", 0, {0, 1}}, {"45", 1, {1}}};
  farm::saveJob(job);
  const farm::FarmJob loaded = farm::loadJob(job.directory);
  EXPECT_EQ(loaded.chunks, job.chunks);
  EXPECT_EQ(loaded.renderArgs, job.renderArgs);
  ASSERT_EQ(loaded.submissions.size(), 2u);
  EXPECT_EQ(loaded.submissions[1].jobId, "45");
  EXPECT_EQ(loaded.submissions[1].tasks, std::vector<int>{1});
  std::ofstream(farm::jobFile(job.directory)) << "{\"scene\": 3";
  EXPECT_THROW(farm::loadJob(job.directory), farm::JobFileError);
}

// A job of three tasks (frames 1-2, 3-4, 5-6) whose files the tests write as the tasks would.
class JobViewTest : public ::testing::Test {
 protected:
  JobViewTest() {
    job.directory = folder.path().string();
    job.frames = {1, 2, 3, 4, 5, 6};
    job.chunks = farm::chunkFrames(job.frames, 2);
    job.submissions = {{"10", 0, {0, 1, 2}}};
    for (int t = 0; t < 3; ++t)
      std::filesystem::create_directories(farm::taskFolder(job.directory, t));
  }

  void summary(int task, int attempt, int exitCode, const std::vector<nlohmann::json>& frames) {
    std::ofstream(farm::attemptFile(job.directory, task, attempt, ".json"))
        << nlohmann::json{{"exit_code", exitCode}, {"job_error", nullptr}, {"frames", frames}};
  }
  static nlohmann::json frame(int number, const char* status, const char* error = nullptr) {
    return {{"frame", number},
            {"status", status},
            {"error", error ? nlohmann::json(error) : nullptr},
            {"maxsim_log", error ? nlohmann::json("/w/maxsim-2.log") : nullptr}};
  }
  farm::JobView view() {
    return farm::viewJob(job, [this](const std::string& id) { return slurm[id]; });
  }
  FrameState state(const farm::JobView& v, int number) {
    for (const farm::FrameView& f : v.frames)
      if (f.frame == number) return f.state;
    ADD_FAILURE() << "no frame " << number;
    return FrameState::Pending;
  }

  TempFolder folder;
  farm::FarmJob job;
  std::map<std::string, farm::ArrayState> slurm;
};

TEST_F(JobViewTest, RunningTaskShowsItsLogsProgressAndALostTaskLeavesItsFramesNotRendered) {
  summary(0, 0, 0, {frame(1, "done"), frame(2, "done")});
  summary(1, 0, 1, {frame(3, "done"), frame(4, "failed", "Trapped SEH Exception")});
  std::ofstream(farm::attemptFile(job.directory, 2, 0, ".log"))
      << "JOB: start 2 frames 5,6\nFRAME: 5 start 1/2\nFRAME: 5 done 1.00s\nFRAME: 6 start 2/2\n"
         "PROGRESS: 60% frame 6 20%\n";
  slurm["10"].tasks = {{2, {"RUNNING", 0}}};
  farm::JobView v = view();
  EXPECT_FALSE(v.ended);
  EXPECT_EQ(v.tasks[2].phase, TaskPhase::Running);
  EXPECT_EQ(v.tasks[2].progress, "60% frame 6 20%");
  EXPECT_EQ(state(v, 4), FrameState::Failed);
  EXPECT_EQ(v.frames[3].record->maxsimLog, "/w/maxsim-2.log");
  EXPECT_EQ(state(v, 5), FrameState::Done);
  EXPECT_EQ(state(v, 6), FrameState::Running);

  // Killed without a summary: what only its log said is not kept.
  slurm["10"].tasks = {{2, {"NODE_FAIL", 0}}};
  v = view();
  EXPECT_TRUE(v.ended);
  EXPECT_EQ(v.tasks[2].phase, TaskPhase::Lost);
  EXPECT_EQ(state(v, 5), FrameState::NotRendered);
  EXPECT_NE(v.frames[4].note.find("NODE_FAIL"), std::string::npos);
  EXPECT_EQ(v.tasks[2].jobError, "PROGRESS: 60% frame 6 20%");
  EXPECT_EQ(farm::jobExitCode(v), 1);  // failed frames outrank a lost task
  EXPECT_EQ(farm::retryableTasks(v), (std::vector<int>{1, 2}));
  EXPECT_EQ(farm::unfinishedFrames(v, 1), std::vector<int>{4});

  // Slurm unreachable: a task without a summary is not taken for lost.
  slurm["10"].reachable = false;
  EXPECT_FALSE(view().ended);
}

TEST_F(JobViewTest, RetryAttemptsFinishTheFramesAndADoneFrameStaysDone) {
  summary(0, 0, 0, {frame(1, "done"), frame(2, "done")});
  summary(1, 0, 5, {frame(3, "done"), frame(4, "not_rendered")});
  summary(2, 0, 1, {frame(5, "failed", "bad"), frame(6, "done")});
  job.submissions.push_back({"20", 1, {1, 2}});
  slurm["20"].tasks = {{1, {"PENDING", 0}}, {2, {"PENDING", 0}}};
  farm::JobView v = view();
  EXPECT_FALSE(v.ended);
  EXPECT_EQ(state(v, 4), FrameState::Pending);
  EXPECT_EQ(state(v, 5), FrameState::Pending);
  EXPECT_EQ(state(v, 3), FrameState::Done);

  summary(1, 1, 0, {frame(4, "done")});
  summary(2, 1, 1, {frame(5, "done"), frame(6, "failed", "late")});
  v = view();
  EXPECT_TRUE(v.ended);
  EXPECT_EQ(state(v, 6), FrameState::Done);
  EXPECT_EQ(farm::jobExitCode(v), 0);
  EXPECT_TRUE(farm::retryableTasks(v).empty());
}

TEST_F(JobViewTest, ExitCodesFollowTheWorkersRulesAndBadJobsAreNotRetried) {
  struct Case {
    std::vector<int> codes;
    int expected;
  };
  for (const Case& c : std::vector<Case>{{{5, 4, 1}, 1},
                                         {{5, 1, 3}, 3},
                                         {{2, 3, 1}, 3},
                                         {{5, 5, 4}, 4},
                                         {{5, 0, 5}, 1},
                                         {{13, 5, 5}, 4}}) {
    for (int t = 0; t < 3; ++t)
      summary(t, 0, c.codes[static_cast<size_t>(t)],
              {frame(2 * t + 1, "done"), frame(2 * t + 2, "not_rendered")});
    EXPECT_EQ(farm::jobExitCode(view()), c.expected) << c.codes[0] << c.codes[1] << c.codes[2];
  }
  summary(0, 0, 3, {frame(1, "not_rendered"), frame(2, "not_rendered")});
  summary(1, 0, 2, {frame(3, "not_rendered"), frame(4, "not_rendered")});
  EXPECT_EQ(farm::retryableTasks(view()), std::vector<int>{2});
  // A worker that failed before writing its summary: Slurm's exit code stands in for it.
  std::filesystem::remove(farm::attemptFile(job.directory, 0, 0, ".json"));
  slurm["10"].tasks = {{0, {"FAILED", 3}}};
  EXPECT_EQ(farm::retryableTasks(view()), std::vector<int>{2});
  slurm["10"].tasks = {{0, {"CANCELLED", 0}}};
  EXPECT_EQ(farm::retryableTasks(view()), (std::vector<int>{0, 2}));
}

TEST_F(JobViewTest, TasksWhoseSubmissionFailedAreEndedAndRetried) {
  job.submissions.clear();
  const farm::JobView v = view();
  EXPECT_TRUE(v.ended);
  EXPECT_EQ(farm::retryableTasks(v), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(farm::unfinishedFrames(v, 2), (std::vector<int>{5, 6}));
}

TEST(FarmOptionsTest, SubmitPassesRenderOptionsOnAndRefusesWhatTheFarmSetsPerTask) {
  const farm::SubmitOptions options = farm::parseSubmitOptions(
      {"a.max", "--frames", "1-9", "--camera", "Cam", "--chunk=3", "--job-dir", "j", "--sbatch-arg",
       "--nice=5", "--restart-renderer"});
  EXPECT_EQ(options.scene, "a.max");
  EXPECT_EQ(options.chunk, 3);
  EXPECT_EQ(options.sbatchArgs, std::vector<std::string>{"--nice=5"});
  EXPECT_EQ(options.renderArgs,
            (std::vector<std::string>{"--camera", "Cam", "--restart-renderer"}));
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"a.max", "--frames", "1", "--job-dir", "j", "--work-dir", "w"},
           {"a.max", "--frames", "1", "--job-dir", "j", "--no-such-option"},
           {"a.max", "--frames", "1", "--job-dir", "j", "--chunk", "0"},
           {"a.max", "--frames", "1"}})
    EXPECT_THROW(farm::parseSubmitOptions(bad), controller::UsageError) << bad.back();
}

}  // namespace
