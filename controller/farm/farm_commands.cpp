// The farm sub-commands: they write and read the job folder and call sbatch and scontrol.
#include "controller/farm/farm_commands.h"

#include "controller/farm/batch_script.h"
#include "controller/farm/farm_options.h"
#include "controller/farm/job_report.h"
#include "controller/farm/job_view.h"
#include "controller/farm/process_output.h"
#include "controller/farm/scene_size.h"
#include "controller/farm/stitch_task.h"
#include "controller/common/tile_layout.h"
#include "controller/common/exit_status.h"
#include "controller/common/frame_spec.h"
#include "controller/worker/run/options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace farm {
namespace {

namespace fs = std::filesystem;

// Slurm's answer to a refused or failed submission.
class SubmitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string absolute(const std::string& path) {
  return fs::absolute(path).lexically_normal();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::trunc);
  out << text;
  if (!out.flush()) throw JobFileError("cannot write " + path);
}

// Writes each task's frames for the attempt and submits the tasks: in a tiled job the tile
// tasks as one array job and the stitching task as a second job that waits for it. Records
// every submission and returns the Slurm job ids.
std::vector<std::string> submitAttempt(FarmJob& job, int attempt, std::vector<int> tasks,
                                       const JobView* unfinished) {
  for (int task : tasks) {
    fs::create_directories(taskFolder(job.directory, task));
    const std::vector<int> frames =
        unfinished ? unfinishedFrames(*unfinished, task) : job.chunks[static_cast<size_t>(task)];
    writeFile(attemptFile(job.directory, task, attempt, ".frames"), frameListText(frames));
  }
  std::vector<std::vector<int>> groups = {tasks};
  if (job.tiled() && tasks.back() == job.stitchTask()) {
    tasks.pop_back();
    groups = {tasks, {job.stitchTask()}};
    if (tasks.empty()) groups.erase(groups.begin());
  }
  std::vector<std::string> ids;
  for (const std::vector<int>& group : groups) {
    const ProcessOutput result =
        runProgram(sbatchCommand(job, attempt, group, ids.empty() ? "" : ids.back()));
    const std::string jobId = result.out.substr(0, result.out.find_first_of(";\n"));
    if (result.status != 0 || jobId.empty()) {
      saveJob(job);
      throw SubmitError("sbatch failed: " + (result.err.empty() ? result.out : result.err));
    }
    job.submissions.push_back({jobId, attempt, group});
    ids.push_back(jobId);
  }
  saveJob(job);
  return ids;
}

// A tiled job's drives: the --drive options leave the render options, each tile task gets
// folders of its own for them, and the stitching task writes the frames into them.
void takeDrives(FarmJob& job) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < job.renderArgs.size(); ++i) {
    std::string value;
    if (job.renderArgs[i] == "--drive" && i + 1 < job.renderArgs.size())
      value = job.renderArgs[++i];
    else if (job.renderArgs[i].rfind("--drive=", 0) == 0)
      value = job.renderArgs[i].substr(8);
    else {
      rest.push_back(job.renderArgs[i]);
      continue;
    }
    const std::string letter(1, static_cast<char>(std::toupper(value[0])));
    job.drives[letter] = absolute(value.substr(2));
  }
  if (job.drives.empty())
    throw controller::UsageError("--tiles needs the output drives given with --drive");
  job.renderArgs = rest;
}

void setUpTiles(FarmJob& job, const SubmitOptions& options) {
  job.tileColumns = options.tileColumns;
  job.tileRows = options.tileRows;
  try {
    std::tie(job.width, job.height) = sceneRenderSize(job.scene);
    controller::layoutTiles(job.width, job.height, job.tileColumns, job.tileRows);
  } catch (const std::exception& error) {
    throw controller::UsageError(std::string("--tiles: ") + error.what());
  }
  takeDrives(job);
  // One task per tile, every frame each; then the stitching task, also every frame.
  job.chunks.assign(static_cast<size_t>(job.stitchTask()) + 1, job.frames);
}

int submit(const std::vector<std::string>& arguments, std::ostream& out) {
  const SubmitOptions options = parseSubmitOptions(arguments);
  FarmJob job;
  job.directory = absolute(options.jobDir);
  if (fs::exists(jobFile(job.directory)) && !loadJob(job.directory).submissions.empty())
    throw controller::UsageError(job.directory + " already holds a submitted job");
  job.worker = fs::read_symlink("/proc/self/exe");
  job.scene = absolute(options.scene);
  job.frameSpec = options.frameSpec;
  try {
    job.frames = controller::parseFrameSpec(options.frameSpec);
  } catch (const controller::FrameSpecError& error) {
    throw controller::UsageError(std::string("--frames: ") + error.what());
  }
  job.chunk = options.chunk;
  job.chunks = chunkFrames(job.frames, options.chunk);
  job.renderArgs = options.renderArgs;
  job.partition = options.partition;
  job.timeLimit = options.timeLimit;
  job.sbatchArgs = options.sbatchArgs;
  job.submitDir = fs::current_path();
  if (options.tileColumns > 0) setUpTiles(job, options);
  fs::create_directories(job.directory);
  const std::string script = job.directory + "/task.sh";
  writeFile(script, batchScript(job));
  chmod(script.c_str(), 0755);
  saveJob(job);
  std::vector<int> tasks;
  for (size_t t = 0; t < job.chunks.size(); ++t) tasks.push_back(static_cast<int>(t));
  for (const std::string& id : submitAttempt(job, 0, tasks, nullptr)) out << id << "\n";
  return controller::allFramesDone;
}

JobView look(const FarmJob& job) {
  return viewJob(job, queryArrayJob);
}

int wait(const JobOptions& options, std::ostream& out, std::ostream& err) {
  const FarmJob job = loadJob(absolute(options.jobDir));
  const auto start = std::chrono::steady_clock::now();
  bool toldUnreachable = false;
  for (;;) {
    const JobView view = look(job);
    if (view.ended) {
      printStatus(job, view, out);
      return jobExitCode(view);
    }
    if (view.slurmUnreachable && !toldUnreachable) {
      err << "farm wait: cannot ask Slurm (" << view.slurmError << "); still waiting\n";
      toldUnreachable = true;
    }
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.timeout > 0 && waited >= options.timeout) {
      printStatus(job, view, out);
      err << "farm wait: the job has not ended after " << options.timeout << " s\n";
      return controller::jobNotEnded;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(options.poll));
  }
}

int retry(const JobOptions& options, std::ostream& out, std::ostream& err) {
  FarmJob job = loadJob(absolute(options.jobDir));
  const JobView view = look(job);
  if (!view.ended) {
    err << "farm retry: the job has not ended yet (farm wait first)\n";
    return controller::usageError;
  }
  std::vector<int> tasks = retryableTasks(view);
  if (tasks.empty()) {
    const int code = jobExitCode(view);
    err << "farm retry: nothing to retry: "
        << (code == controller::allFramesDone
                ? "every frame is done"
                : "the job's failures are not retried (exit " + std::to_string(code) + ")")
        << "\n";
    return code;
  }
  int attempt = 0;
  for (const Submission& s : job.submissions) attempt = std::max(attempt, s.attempt + 1);
  // A tile retried means its frames must be stitched again.
  if (job.tiled() && tasks.back() != job.stitchTask()) tasks.push_back(job.stitchTask());
  for (const std::string& id : submitAttempt(job, attempt, tasks, &view)) out << id << "\n";
  return controller::allFramesDone;
}

}  // namespace

namespace {

// status, report: the job as it stands; report's exit code is the job's once it ended.
int show(const std::string& command, const JobOptions& options, std::ostream& out,
         std::ostream& err) {
  const FarmJob job = loadJob(absolute(options.jobDir));
  const JobView view = look(job);
  if (view.slurmUnreachable) err << "farm: cannot ask Slurm: " << view.slurmError << "\n";
  if (command == "status") {
    printStatus(job, view, out);
    return controller::allFramesDone;
  }
  printReport(job, view, out);
  if (!options.json.empty()) writeReportJson(job, view, options.json);
  return view.ended ? jobExitCode(view) : controller::jobNotEnded;
}

int dispatch(const std::string& command, const std::vector<std::string>& rest, std::ostream& out,
             std::ostream& err) {
  if (command == "submit") return submit(rest, out);
  if (command == "stitch" && rest.size() == 2)
    return runStitch(absolute(rest[0]), std::stoi(rest[1]), out);
  if (command == "status" || command == "wait" || command == "report" || command == "retry") {
    const JobOptions options = parseJobOptions(command, rest);
    if (command == "wait") return wait(options, out, err);
    if (command == "retry") return retry(options, out, err);
    return show(command, options, out, err);
  }
  if (command == "-h" || command == "--help") {
    out << farmUsage();
    return controller::allFramesDone;
  }
  err << "foxglove-worker farm: " << (command.empty() ? "no command" : "unknown command " + command)
      << "\n"
      << farmUsage();
  return controller::usageError;
}

// The farm's boundary: each module's exception becomes a failure whose kind is the exit status.
controller::Failure failureOf(const std::exception_ptr& raised) {
  using controller::FailureKind;
  try {
    std::rethrow_exception(raised);
  } catch (const controller::UsageError& error) {
    return controller::fail(FailureKind::Usage,
                            std::string(error.what()) + "\nsee: foxglove-worker farm --help");
  } catch (const JobFileError& error) {
    // A job folder that is not one is a wrong argument.
    return controller::fail(FailureKind::Usage, error.what());
  } catch (const SubmitError& error) {
    std::string text = error.what();
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return controller::fail(FailureKind::Node, text);
  } catch (const fs::filesystem_error& error) {
    return controller::fail(FailureKind::Node, error.what());
  }
}

}  // namespace

int runFarm(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const std::string command = arguments.empty() ? "" : arguments.front();
  const std::vector<std::string> rest(arguments.begin() + (arguments.empty() ? 0 : 1),
                                      arguments.end());
  try {
    return dispatch(command, rest, out, err);
  } catch (const std::exception&) {
    const controller::Failure failure = failureOf(std::current_exception());
    err << "foxglove-worker farm " << command << ": " << failure.text << "\n";
    return controller::exitStatusOf(failure.kind);
  }
}

}  // namespace farm
