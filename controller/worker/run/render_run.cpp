// Driving a render job: sessions and their logs, job start and options, frames, file checks.
#include "controller/worker/run/render_run.h"

#include "controller/link/command_line.h"
#include "controller/link/command_replies.h"
#include "controller/common/exit_status.h"
#include "controller/worker/run/frame_steps.h"
#include "controller/worker/images/image_check.h"
#include "controller/worker/images/image_files.h"
#include "controller/worker/images/image_format.h"
#include "controller/worker/images/output_names.h"
#include "controller/worker/images/write_problem.h"
#include "controller/worker/session/plugin_session.h"
#include "controller/link/protocol.h"
#include "controller/link/requests.h"
#include "controller/worker/session/stop_signals.h"
#include "controller/common/summary_json.h"
#include "controller/common/text.h"
#include "controller/worker/display/summary_table.h"
#include "controller/worker/run/tile_render.h"
#include "controller/worker/session/work_lock.h"
#include "controller/worker/session/worker_environment.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace worker {

namespace fs = std::filesystem;

namespace {

/// Which part of the frame a command renders: progress of one tile is a share of the frame's.
struct ProgressPart {
  size_t part = 0;
  size_t parts = 1;

  /// The frame's percentage for the part's own (none stays none).
  float ofFrame(float percent) const {
    if (!(percent >= 0)) return percent;
    return (static_cast<float>(part) * 100.0f + std::min(percent, 100.0f)) /
           static_cast<float>(parts);
  }
};

/// Shows a frame's requests and error replies on the display.
class FrameObserver : public PacketObserver {
 public:
  FrameObserver(ProgressDisplay& display, int frame, ProgressPart part, bool showErrors = true)
      : display_(display), frame_(frame), part_(part), showErrors_(showErrors) {}

  void onRequest(const controller::Request& request, const std::optional<std::string>&) override {
    switch (request.kind) {
      case controller::Request::Kind::Title:
        display_.title(frame_, request.text);
        break;
      case controller::Request::Kind::Output:
        display_.scriptOutput(frame_, request.text);
        break;
      case controller::Request::Kind::Progress:
        display_.progress(frame_, part_.ofFrame(request.percent));
        break;
      default:
        break;
    }
  }

  void onReply(const std::string& reply) override {
    if (showErrors_ && controller::isErrorReply(reply)) display_.frameError(frame_, reply);
  }

 private:
  ProgressDisplay& display_;
  int frame_;
  ProgressPart part_;
  bool showErrors_;
};

/// Shows the job's own commands: only their errors, as job lines (or none, when the caller
/// reports the failure itself).
class JobObserver : public PacketObserver {
 public:
  explicit JobObserver(ProgressDisplay& display, bool showErrors = true)
      : display_(display), showErrors_(showErrors) {}
  void onRequest(const controller::Request&, const std::optional<std::string>&) override {}
  void onReply(const std::string& reply) override {
    if (showErrors_ && controller::isErrorReply(reply))
      display_.jobError(reply.substr(controller::protocol::errorPrefix.size()));
  }

 private:
  ProgressDisplay& display_;
  bool showErrors_;
};

/// The text without the "ERROR: " that begins its lines: a job line says "ERROR: job" already.
std::string withoutErrorWord(const std::string& text) {
  std::string result;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    if (controller::startsWith(line, controller::protocol::errorPrefix))
      line = line.substr(controller::protocol::errorPrefix.size());
    result += (start == 0 ? "" : "\n") + line;
    if (end == std::string::npos) return result;
    start = end + 1;
  }
}

/// The next free run number in the logs folder (runs before it left run-N-... files); a file
/// whose name has no number after "run-" is not a run's and does not count.
/// A logs folder that cannot be listed is the node's failure: the runs' logs would collide.
controller::Expected<int> nextRunNumber(const std::string& logDir) {
  int highest = 0;
  std::error_code error;
  fs::directory_iterator entries(logDir, error);
  if (error) {
    return controller::fail(controller::FailureKind::Node,
                            "cannot list the logs folder " + logDir + ": " + error.message());
  }
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (!controller::startsWith(name, "run-")) continue;
    int number = 0;
    const char* digits = name.c_str() + 4;
    if (std::from_chars(digits, name.c_str() + name.size(), number).ec == std::errc())
      highest = std::max(highest, number);
  }
  return highest + 1;
}

class RenderRun : public FrameSteps {
 public:
  RenderRun(const RenderOptions& options, ProgressDisplay& display, const Clock& clock)
      : options_(options),
        display_(display),
        clock_(clock),
        stallLimit_(static_cast<long long>(options.stallTimeout * 1000)) {}

  int run(std::ostream& out) {
    const auto started = std::chrono::system_clock::now();
    const std::string scene = fs::absolute(options_.scene).lexically_normal().string();
    display_.jobStarted(scene, options_.frameSpec, options_.frames.size());
    if (controller::Expected<void> prepared = prepare(); !prepared) {
      jobFailure_ = prepared.failure();
      display_.jobError(jobFailure_->text);
    } else {
      renderFrames(scene);
    }
    recordFramesNotRendered();
    const size_t succeeded = succeededCount();
    display_.jobFinished(succeeded);
    noteLogsOfFailedFrames();
    printSummary(out, records_);
    // Output that a farm manager never got is a failure of this machine, not a success.
    out.flush();
    if (!out) noteNodeProblem("cannot write the worker's own output (standard output)");
    if (options_.summaryJson) writeSummary(started, out);
    const int status = exitStatus(succeeded);
    return status;
  }

  /// Writes the summary file; one that cannot be written is this machine's failure (its disk).
  void writeSummary(std::chrono::system_clock::time_point started, std::ostream& out) {
    const int status = exitStatus(succeededCount());
    controller::JobSummary summary{
        options_.scene, options_.frameSpec, started, std::chrono::system_clock::now(),
        status,         std::nullopt,       records_};
    if (jobFailure_) summary.jobError = jobFailure_->text;
    if (nodeProblem_) summary.jobError = nodeProblem_->text;
    try {
      controller::writeSummaryJson(*options_.summaryJson, summary);
    } catch (const std::exception& error) {
      out << "ERROR: job cannot write the summary: " << error.what() << "\n";
      noteNodeProblem(std::string("cannot write the summary: ") + error.what());
    }
  }

  size_t succeededCount() const {
    return static_cast<size_t>(
        std::count_if(records_.begin(), records_.end(),
                      [](const controller::FrameRecord& r) { return r.succeeded(); }));
  }

  /// Something of this machine failed after the frames (its disk, its output): the run ends
  /// as a node failure whatever became of the frames.
  void noteNodeProblem(const std::string& text) {
    if (!nodeProblem_) nodeProblem_ = controller::fail(controller::FailureKind::Node, text);
  }

  bool hasSession() const override { return session_ != nullptr; }

  void option(const std::vector<std::string>& fields) override {
    JobObserver observer(display_);
    (void)session_->command(controller::commandLine(fields), observer, stallLimit_);
  }

  controller::Expected<void> renderTask(int frame) override {
    return frameCommand(frame, {controller::protocol::renderTaskCommand, std::to_string(frame)});
  }

  controller::Expected<std::vector<std::string>> writtenFiles(int frame) override {
    std::vector<std::string> files;
    for (int index = 0;; ++index) {
      CommandOutcome outcome;
      const std::string script = "FoxgloveUtil.GetOutputFilename " + std::to_string(index);
      controller::Expected<void> asked = frameCommand(
          frame, {controller::protocol::executeStringScriptCommand, std::to_string(frame), script},
          &outcome, false);
      if (outcome.end != CommandOutcome::End::Completed) return asked.failure();
      const std::string& reply = outcome.replies.back();
      // Past the last file the script yields undefined, which is no string.
      if (!controller::startsWith(reply, controller::protocol::successPrefix)) return files;
      files.push_back(reply.substr(controller::protocol::successPrefix.size()));
    }
  }

  controller::Expected<void> checkFiles(int frame, const std::vector<ExpectedFile>& files,
                                        std::vector<controller::CheckedFile>& checked) override {
    std::optional<controller::Failure> failure;
    for (const ExpectedFile& file : files) {
      controller::CheckedFile result{file.pluginPath, file.local};
      std::string problem;
      try {
        const Image image = readImage(file.local);
        result.width = image.width;
        result.height = image.height;
        problem = imageProblem(image, file.width, file.height);
        // Downstream tools go by the extension: data of another format is a bad file.
        if (problem.empty()) problem = formatMismatch(file.local);
      } catch (const ImageError& error) {
        problem = error.what();
      }
      std::error_code error;
      const std::uintmax_t bytes = fs::file_size(file.local, error);
      result.bytes = error ? 0 : bytes;
      display_.fileChecked(frame, file.local, result.width, result.height, problem);
      checked.push_back(result);
      if (!problem.empty() && !failure) {
        failure = controller::fail(controller::FailureKind::Frame,
                                   "bad file " + file.local + ": " + problem);
      }
    }
    if (failure) return *failure;
    return {};
  }

  ProgressDisplay& display() override { return display_; }

  void progressPart(size_t part, size_t parts) override { progressPart_ = {part, parts}; }

 private:
  /// Locks the work folder and makes its folders; a failure here is the node's.
  controller::Expected<void> prepare() {
    try {
      fs::create_directories(fs::absolute(options_.launch.workDir));
      lock_ = std::make_unique<WorkFolderLock>(fs::absolute(options_.launch.workDir).string());
      environment_ = prepareEnvironment(options_.launch);
    } catch (const std::exception& error) {
      return controller::fail(controller::FailureKind::Node, error.what());
    }
    const controller::Expected<int> runNumber = nextRunNumber(environment_.logDir);
    if (!runNumber) return runNumber.failure();
    runNumber_ = *runNumber;
    keepLeftPluginLog();
    if (options_.tiles && options_.jpegFolder) {
      display_.jobWarning("no JPEG previews with --tiles: the plug-in writes none for regions");
    }
    return {};
  }

  void renderFrames(const std::string& scene) {
    for (size_t index = 0; index < options_.frames.size(); ++index) {
      if (stopRequested()) break;
      if (!session_) {
        if (controller::Expected<void> opened = openJob(scene); !opened) {
          jobFailure_ = opened.failure();
          display_.jobError(jobFailure_->text);
          break;
        }
      }
      const int frame = options_.frames[index];
      display_.frameStarted(frame, index);
      const auto started = clock_.now();
      controller::FrameRecord record = renderFrame(frame);
      record.seconds = std::chrono::duration<double>(clock_.now() - started).count();
      display_.frameFinished(record);
      records_.push_back(record);
    }
    closeJob();
  }

  /// Every frame not attempted gets its record and its line: the summary lists every frame.
  void recordFramesNotRendered() {
    std::string reason = "not rendered";
    if (stopRequested()) {
      reason += ": stopped by " + stopSignalName();
    } else if (jobFailure_) {
      reason += ": " + jobFailure_->text.substr(0, jobFailure_->text.find('\n'));
    }
    for (size_t index = records_.size(); index < options_.frames.size(); ++index) {
      controller::FrameRecord record;
      record.frame = options_.frames[index];
      record.status = controller::FrameStatus::NotRendered;
      record.reason = reason;
      display_.frameFinished(record);
      records_.push_back(record);
    }
  }

  int exitStatus(size_t succeeded) const {
    if (stopRequested() && succeeded != options_.frames.size()) return controller::stoppedBySignal;
    if (nodeProblem_) return controller::nodeIsBad;
    if (succeeded == options_.frames.size()) return controller::allFramesDone;
    if (badJobFrame_) return controller::jobIsBad;
    if (jobFailure_) return controller::exitStatusOf(jobFailure_->kind);
    return controller::someFramesFailed;
  }

  /// Names the kept logs of each session in which a frame failed.
  void noteLogsOfFailedFrames() {
    std::set<std::string> named;
    for (const controller::FrameRecord& record : records_) {
      if (record.status != controller::FrameStatus::Failed || record.pluginLog.empty()) continue;
      if (!named.insert(record.pluginLog).second) continue;
      display_.note("plug-in log: " + record.pluginLog);
      display_.note("maxsim output: " + record.maxsimLog);
    }
  }

  /// Starts a session (with logs of its own) and the job on it, with every option.
  controller::Expected<void> openJob(const std::string& scene) {
    if (controller::Expected<void> started = startSession(); !started) return started;
    if (options_.ignoreMissingExternalFiles) option({"IgnoreMissingExternalFiles"});
    if (options_.ignoreMissingUVWs) option({"IgnoreMissingUVWs"});
    if (options_.ignoreMissingDLLs) option({"IgnoreMissingDLLs"});
    if (options_.ignoreMissingXREFs) option({"IgnoreMissingXREFs"});
    if (controller::Expected<void> started = startJob(scene); !started) return started;
    if (controller::Expected<void> fits = checkTileGrid(); !fits) {
      closeJob();
      return fits;
    }
    sendFrameOptions();
    return {};
  }

  /// Starts maxsim for the next session, its output and plug-in log named after run and session.
  controller::Expected<void> startSession() {
    ++sessionNumber_;
    const std::string stem =
        (fs::path(environment_.logDir) /
         ("run-" + std::to_string(runNumber_) + "-session-" + std::to_string(sessionNumber_)))
            .string();
    WorkerEnvironment sessionEnvironment = environment_;
    sessionEnvironment.maxsimOutput = stem + "-maxsim.log";
    pluginLogCopy_ = stem + "-plugin.log";
    maxsimLog_ = sessionEnvironment.maxsimOutput;
    session_ = std::make_unique<PluginSession>(sessionEnvironment, options_.launch, clock_);
    const controller::Expected<void> started =
        session_->start([this](const std::string& warning) { display_.jobWarning(warning); });
    if (!started) {
      session_.reset();
      return started;
    }
    display_.note("plug-in: " + session_->versionLine());
    display_.note("session " + std::to_string(sessionNumber_) + ": maxsim pid " +
                  std::to_string(session_->maxsimPid()) + ", its output in " + maxsimLog_ +
                  ", the plug-in log kept in " + pluginLogCopy_);
    return {};
  }

  /// StartJob on the scene; its last reply describes the output.
  controller::Expected<void> startJob(const std::string& scene) {
    JobObserver quiet(display_, false);
    const CommandOutcome start = session_->command(
        controller::commandLine({controller::protocol::startJobCommand, scene, options_.camera}),
        quiet, stallLimit_);
    if (!start.succeeded()) {
      endSession(5000);
      if (start.end == CommandOutcome::End::Stopped)
        return controller::fail(controller::FailureKind::Stopped,
                                "StartJob failed: " + withoutErrorWord(start.failure()));
      return controller::fail(
          controller::FailureKind::Job,
          "StartJob failed: " + whyNotStarted(scene) + "\n" + withoutErrorWord(start.failure()));
    }
    jobStarted_ = true;
    output_ = parseOutputDescription(start.replies.back());
    display_.note("output: " + output_.fileName + " " + std::to_string(output_.width) + "x" +
                  std::to_string(output_.height));
    return {};
  }

  /// Why the scene did not start, in words the plug-in's reply lacks: the scene is missing, or
  /// why maxsim could not load it (its own error line, in the session's output).
  std::string whyNotStarted(const std::string& scene) const {
    std::error_code error;
    if (!fs::exists(scene, error)) return "the scene " + scene + " does not exist";
    static const std::string loadError = "maxsim: error: Load: ";
    std::ifstream in(maxsimLog_);
    std::string reason;
    for (std::string line; std::getline(in, line);)
      if (controller::startsWith(line, loadError)) reason = line.substr(loadError.size());
    if (!reason.empty()) return "the scene does not load: " + reason;
    return "the plug-in refused the job";
  }

  /// With --tiles, the output must be known and have at least one pixel per tile.
  controller::Expected<void> checkTileGrid() const {
    if (!options_.tiles) return {};
    const auto [columns, rows] = *options_.tiles;
    if (output_.width <= 0 || output_.height <= 0) {
      return controller::fail(controller::FailureKind::Job,
                              "StartJob did not tell the output size, which tiles need");
    }
    if (columns > output_.width || rows > output_.height) {
      return controller::fail(controller::FailureKind::Job,
                              "--tiles " + std::to_string(columns) + "x" + std::to_string(rows) +
                                  " has more tiles than the " + std::to_string(output_.width) +
                                  "x" + std::to_string(output_.height) + " output has pixels");
    }
    return {};
  }

  /// The options that StartJob resets, so they follow it.
  void sendFrameOptions() {
    if (options_.frameBase) option({"FrameNumberBase", std::to_string(*options_.frameBase)});
    if (options_.jpegFolder && !options_.tiles) {
      option({"UseJpegOutput", previewFolder(*options_.jpegFolder)});
    }
    if (options_.blackPercent) {
      option({"FailOnBlackFrames", std::to_string(*options_.blackPercent),
              std::to_string(options_.blackThreshold)});
    }
    if (options_.output && !options_.tiles) option({"OutputImageFilename", *options_.output});
    if (options_.region) {
      const std::vector<int>& r = *options_.region;
      option({"RegionRendering", std::to_string(options_.padding), std::to_string(r[0]),
              std::to_string(r[1]), std::to_string(r[2]), std::to_string(r[3])});
    }
    if (options_.restartRenderer) option({"RestartRendererMode"});
    if (options_.hideFrameBuffer) option({"HideFrameBuffer"});
    if (options_.removePadding) option({"RemovePadding"});
    if (options_.alphaSplit) option({"AlphaSplit"});
  }

  /// Ends the job (if it started) and the session, if there is one.
  void closeJob() {
    if (!session_) return;
    if (jobStarted_ && session_->connected()) {
      JobObserver observer(display_);
      const CommandOutcome end =
          session_->command(controller::protocol::endJobCommand, observer, stallLimit_);
      if (!end.succeeded() && end.end != CommandOutcome::End::Completed) {
        display_.jobWarning("EndJob: " + end.breakReason());
      }
    }
    const std::optional<int> status = endSession(30000);
    if (status && *status != 0) {
      display_.note("maxsim exited with status " + std::to_string(*status));
    }
  }

  /// Hangs up, waits for maxsim, and keeps the session's plug-in log (the next maxsim's plug-in
  /// empties it at load).
  std::optional<int> endSession(int timeoutMs) {
    const std::optional<int> status = session_->finish(timeoutMs);
    session_.reset();
    jobStarted_ = false;
    keepPluginLog();
    return status;
  }

  /// A worker killed outright never copied its last session's plug-in log, and the next
  /// session's plug-in empties it at load: keep it first, beside the newest session output that
  /// has no plug-in log of its own.
  void keepLeftPluginLog() {
    std::error_code error;
    if (!fs::exists(environment_.pluginLog, error) ||
        fs::file_size(environment_.pluginLog, error) == 0)
      return;
    static const std::string maxsimSuffix = "-maxsim.log";
    std::string orphan;
    fs::file_time_type newest;
    for (const auto& entry : fs::directory_iterator(environment_.logDir, error)) {
      const std::string name = entry.path().string();
      if (name.size() <= maxsimSuffix.size() ||
          name.compare(name.size() - maxsimSuffix.size(), maxsimSuffix.size(), maxsimSuffix) != 0)
        continue;
      const std::string stem = name.substr(0, name.size() - maxsimSuffix.size());
      const fs::file_time_type written = entry.last_write_time(error);
      if (fs::exists(stem + "-plugin.log", error) || (!orphan.empty() && written < newest))
        continue;
      orphan = stem + "-plugin.log";
      newest = written;
    }
    if (orphan.empty()) return;
    pluginLogCopy_ = orphan;
    keepPluginLog();
    display_.note("the plug-in log of an earlier worker's last session kept in " + orphan);
  }

  /// A copy that fails (a full disk) loses the session's log: the node's fault, with a warning.
  void keepPluginLog() {
    std::error_code error;
    if (!fs::exists(environment_.pluginLog, error)) return;
    fs::copy_file(environment_.pluginLog, pluginLogCopy_, fs::copy_options::overwrite_existing,
                  error);
    if (error) {
      const std::string text =
          "cannot keep the plug-in log in " + pluginLogCopy_ + ": " + error.message();
      display_.jobWarning(text);
      noteNodeProblem(text);
    }
  }

  /// Runs one command for the frame. On a broken session the session is dropped (its logs
  /// named on the frame's lines), so that the next frame starts a fresh maxsim.
  controller::Expected<void> frameCommand(int frame, const std::vector<std::string>& fields,
                                          CommandOutcome* outcome = nullptr,
                                          bool showErrors = true) {
    FrameObserver observer(display_, frame, progressPart_, showErrors);
    CommandOutcome result =
        session_->command(controller::commandLine(fields), observer, stallLimit_);
    for (const std::string& reply : result.replies) {
      if (controller::startsWith(reply, controller::protocol::trappedPrefix) &&
          reply.find('\n') != std::string::npos) {
        faultReport_ = reply.substr(reply.find('\n') + 1);
      }
    }
    if (result.end != CommandOutcome::End::Completed) {
      display_.frameError(frame, result.breakReason());
      endSession(5000);
      display_.frameError(frame, "plug-in log: " + pluginLogCopy_);
      display_.frameError(frame, "maxsim output: " + maxsimLog_);
    }
    controller::FailureKind kind = result.end == CommandOutcome::End::Stopped
                                       ? controller::FailureKind::Stopped
                                       : controller::FailureKind::Frame;
    // A reply that shows the job is wrong fails the frame on every try: the job's fault.
    if (std::any_of(result.replies.begin(), result.replies.end(), controller::showsBadJob))
      kind = controller::FailureKind::Job;
    const bool succeeded = result.succeeded();
    const std::string failure = result.failure();
    if (outcome) *outcome = std::move(result);
    if (succeeded) return {};
    return controller::fail(kind, failure);
  }

  controller::FrameRecord renderFrame(int frame) {
    controller::FrameRecord record;
    record.frame = frame;
    record.pluginLog = pluginLogCopy_;
    record.maxsimLog = maxsimLog_;
    faultReport_.clear();
    progressPart_ = {};
    controller::Expected<void> rendered;
    try {
      rendered = options_.tiles ? renderTiles(*this, options_, output_, frame, record.files)
                                : renderWhole(frame, record.files);
    } catch (const std::exception& error) {
      rendered = controller::fail(controller::FailureKind::Frame,
                                  std::string("internal error: ") + error.what());
      display_.frameError(frame, rendered.failure().text);
    }
    record.status = rendered ? controller::FrameStatus::Done : controller::FrameStatus::Failed;
    if (!rendered && rendered.failure().kind == controller::FailureKind::Job) badJobFrame_ = true;
    if (!rendered) record.reason = rendered.failure().text;
    record.faultReport = faultReport_;
    return record;
  }

  controller::Expected<void> renderWhole(int frame, std::vector<controller::CheckedFile>& checked) {
    if (controller::Expected<void> rendered = renderTask(frame); !rendered)
      return withWriteReason(frame, rendered.failure());
    controller::Expected<std::vector<std::string>> files = writtenFiles(frame);
    if (!files) return files.failure();
    int width = output_.width;
    int height = output_.height;
    if (options_.region) {
      width = (*options_.region)[2] - (*options_.region)[0];
      height = (*options_.region)[3] - (*options_.region)[1];
    }
    std::vector<ExpectedFile> expected;
    for (const std::string& file : *files)
      expected.push_back({file, localPath(file), width, height});
    const std::string base = options_.output ? *options_.output : output_.fileName;
    if (options_.jpegFolder && !options_.region && !files->empty() &&
        isNumberedFrom(files->front(), base)) {
      const std::string previewPath =
          previewName(previewFolder(*options_.jpegFolder), files->front());
      const std::string preview = localPath(previewPath);
      if (fs::exists(preview)) {
        expected.push_back({previewPath, preview, output_.width, output_.height});
      } else {
        display_.frameWarning(frame, "no JPEG preview was written: " + preview);
      }
    }
    if (files->empty() && !base.empty())
      return checkSkippedFrame(frame, base, width, height, checked);
    if (files->empty()) display_.frameWarning(frame, "the plug-in wrote no files for this frame");
    learnFileBases(frame, *files);
    return checkFiles(frame, expected, checked);
  }

  /// A failed write says only "error code N": name the frame's file that cannot be written and
  /// why, where the worker can see it, on the failure's first line.
  controller::Failure withWriteReason(int frame, controller::Failure failure) const {
    static const std::string writeError = "Error in bm->Write()";
    const std::string base = options_.output ? *options_.output : output_.fileName;
    if (failure.text.find(writeError) == std::string::npos || base.empty()) return failure;
    for (const std::string& name : frameFileNames(frame, base)) {
      const std::optional<std::string> problem = writeProblem(localPath(name));
      if (!problem) continue;
      const size_t end = std::min(failure.text.find('\n'), failure.text.size());
      failure.text.insert(end, " (" + name + ": " + *problem + ")");
      break;
    }
    return failure;
  }

  /// The names the frame's files have: like those of a frame rendered earlier in the run, or,
  /// before any, the output name (and its alpha companion).
  std::vector<std::string> frameFileNames(int frame, const std::string& base) const {
    std::vector<std::string> bases = fileBases_;
    if (bases.empty()) {
      bases.push_back(base);
      if (options_.alphaSplit) bases.push_back(alphaCompanion(base));
    }
    std::vector<std::string> names;
    for (const std::string& fileBase : bases)
      names.push_back(options_.removePadding ? fileBase
                                             : numberedName(fileBase, fileNumber(frame)));
    return names;
  }

  /// The frame's number in file names.
  long long fileNumber(int frame) const {
    return static_cast<long long>(frame) + options_.frameBase.value_or(0);
  }

  /// Keeps the bases of a rendered frame's files (main image, alpha companion, elements), so
  /// that a later skipped frame's files can be named.
  void learnFileBases(int frame, const std::vector<std::string>& files) {
    std::vector<std::string> bases;
    for (const std::string& file : files)
      bases.push_back(options_.removePadding ? file : unnumberedName(file, fileNumber(frame)));
    fileBases_ = bases;
  }

  /// A frame the plug-in skipped because its output exists (the scene's skip-existing setting)
  /// writes nothing: its existing files must verify like written ones, or the frame fails. They
  /// are named from the files of a frame rendered earlier in the run, or, before any, from the
  /// output name (and its alpha companion). The worker never deletes them.
  controller::Expected<void> checkSkippedFrame(int frame, const std::string& base, int width,
                                               int height,
                                               std::vector<controller::CheckedFile>& checked) {
    std::vector<ExpectedFile> expected;
    for (const std::string& name : frameFileNames(frame, base))
      expected.push_back({name, localPath(name), width, height});
    display_.frameWarning(frame,
                          "the plug-in skipped the frame: its output exists; checking the files");
    return checkFiles(frame, expected, checked);
  }

  const RenderOptions& options_;
  ProgressDisplay& display_;
  const Clock& clock_;
  std::chrono::milliseconds stallLimit_;
  std::unique_ptr<WorkFolderLock> lock_;
  WorkerEnvironment environment_;
  int runNumber_ = 0;
  int sessionNumber_ = 0;
  std::string pluginLogCopy_;
  std::string maxsimLog_;
  std::unique_ptr<PluginSession> session_;
  bool jobStarted_ = false;
  OutputDescription output_;
  std::string faultReport_;
  ProgressPart progressPart_;
  /// The bases of the files of the last frame rendered (see learnFileBases).
  std::vector<std::string> fileBases_;
  /// A frame failed in a way that shows the job is wrong (it would fail again anywhere).
  bool badJobFrame_ = false;
  std::optional<controller::Failure> jobFailure_;
  /// A failure of this machine after or beside the frames (see noteNodeProblem).
  std::optional<controller::Failure> nodeProblem_;
  std::vector<controller::FrameRecord> records_;
};

}  // namespace

int runRender(const RenderOptions& options, ProgressDisplay& display, std::ostream& out,
              const Clock& clock) {
  return RenderRun(options, display, clock).run(out);
}

}  // namespace worker
