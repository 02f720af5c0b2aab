// Driving a render job: sessions, job start and options, frames, tiles, file checks, summary.
#include "controller/worker/render_run.h"

#include "controller/worker/command_line.h"
#include "controller/worker/command_replies.h"
#include "controller/worker/image_check.h"
#include "controller/worker/image_files.h"
#include "controller/worker/output_names.h"
#include "controller/worker/plugin_session.h"
#include "controller/worker/requests.h"
#include "controller/worker/stitching.h"
#include "controller/worker/summary.h"
#include "controller/worker/text.h"
#include "controller/worker/tile_layout.h"
#include "controller/worker/worker_environment.h"

#include <filesystem>
#include <memory>

namespace worker {

namespace fs = std::filesystem;

namespace {

/// Shows a frame's requests and error replies on the display.
class FrameObserver : public PacketObserver {
 public:
  FrameObserver(ProgressDisplay& display, int frame, bool showErrors = true)
      : display_(display), frame_(frame), showErrors_(showErrors) {}

  void onRequest(const std::string& packet, const std::optional<std::string>&) override {
    const Request request = classifyRequest(packet);
    switch (request.kind) {
      case Request::Kind::Title:
        display_.title(frame_, request.text);
        break;
      case Request::Kind::Output:
        display_.scriptOutput(frame_, request.text);
        break;
      case Request::Kind::Progress:
        display_.progress(frame_, request.percent);
        break;
      case Request::Kind::LookUp:
        break;
    }
  }

  void onReply(const std::string& reply) override {
    if (showErrors_ && isErrorReply(reply)) display_.frameError(frame_, reply);
  }

 private:
  ProgressDisplay& display_;
  int frame_;
  bool showErrors_;
};

/// A file of one frame: where it is and what it should be.
struct ExpectedFile {
  std::string local;
  int width;
  int height;
};

class RenderRun {
 public:
  RenderRun(const RenderOptions& options, ProgressDisplay& display, const Clock& clock)
      : options_(options),
        display_(display),
        clock_(clock),
        stallLimit_(static_cast<long long>(options.stallTimeout * 1000)) {}

  int run(std::ostream& out) {
    const std::string scene = fs::absolute(options_.scene).lexically_normal().string();
    display_.jobStarted(scene, options_.frameSpec, options_.frames.size());
    try {
      environment_ = prepareEnvironment(options_.launch);
    } catch (const std::exception& error) {
      display_.note(error.what());
      return 1;
    }
    if (options_.tiles && options_.jpegFolder) {
      display_.note("no JPEG previews with --tiles: the plug-in writes none for regions");
    }
    for (size_t index = 0; index < options_.frames.size(); ++index) {
      const int frame = options_.frames[index];
      display_.frameStarted(frame, index);
      if (!session_ && !openJob(scene)) {
        failRemaining(index, "not rendered: " + jobFailure_);
        break;
      }
      const auto started = clock_.now();
      FrameRecord record = renderFrame(frame);
      record.seconds = std::chrono::duration<double>(clock_.now() - started).count();
      display_.frameFinished(frame, record.succeeded, record.seconds, record.reason);
      records_.push_back(record);
    }
    closeJob();
    size_t succeeded = 0;
    for (const FrameRecord& record : records_) succeeded += record.succeeded ? 1 : 0;
    display_.jobFinished(succeeded);
    const bool allGood = succeeded == options_.frames.size();
    if (!allGood && !environment_.pluginLog.empty()) {
      display_.note("plug-in log: " + environment_.pluginLog);
      display_.note("maxsim output: " + environment_.maxsimOutput);
    }
    printSummary(out, records_);
    return allGood ? 0 : 1;
  }

 private:
  /// Starts a session and the job on it, with every option; false (and jobFailure_) if not.
  bool openJob(const std::string& scene) {
    session_ = std::make_unique<PluginSession>(environment_, options_.launch, clock_);
    try {
      session_->start();
    } catch (const SessionError& error) {
      jobFailure_ = error.what();
      display_.note(jobFailure_);
      session_.reset();
      return false;
    }
    display_.note("plug-in: " + session_->versionLine());
    std::vector<std::vector<std::string>> before;
    if (options_.ignoreMissingExternalFiles) before.push_back({"IgnoreMissingExternalFiles"});
    if (options_.ignoreMissingUVWs) before.push_back({"IgnoreMissingUVWs"});
    if (options_.ignoreMissingDLLs) before.push_back({"IgnoreMissingDLLs"});
    if (options_.ignoreMissingXREFs) before.push_back({"IgnoreMissingXREFs"});
    for (const auto& fields : before) send(fields);

    FrameObserver observer(display_, 0);
    const CommandOutcome start =
        session_->command(commandLine({"StartJob", scene, options_.camera}), observer, stallLimit_);
    if (!start.succeeded()) {
      jobFailure_ = "StartJob failed: " + start.failure();
      closeJob();
      return false;
    }
    output_ = parseOutputDescription(start.replies.back());
    display_.note("output: " + output_.fileName + " " + std::to_string(output_.width) + "x" +
                  std::to_string(output_.height));
    if (options_.tiles && (output_.width <= 0 || output_.height <= 0)) {
      jobFailure_ = "StartJob did not tell the output size, which tiles need";
      closeJob();
      return false;
    }

    // StartJob resets these, so they follow it.
    if (options_.frameBase) send({"FrameNumberBase", std::to_string(*options_.frameBase)});
    if (options_.jpegFolder && !options_.tiles) {
      send({"UseJpegOutput", previewFolder(*options_.jpegFolder)});
    }
    if (options_.blackPercent) {
      send({"FailOnBlackFrames", std::to_string(*options_.blackPercent),
            std::to_string(options_.blackThreshold)});
    }
    if (options_.output && !options_.tiles) send({"OutputImageFilename", *options_.output});
    if (options_.region) {
      const std::vector<int>& r = *options_.region;
      send({"RegionRendering", std::to_string(options_.padding), std::to_string(r[0]),
            std::to_string(r[1]), std::to_string(r[2]), std::to_string(r[3])});
    }
    if (options_.restartRenderer) send({"RestartRendererMode"});
    if (options_.hideFrameBuffer) send({"HideFrameBuffer"});
    if (options_.removePadding) send({"RemovePadding"});
    if (options_.alphaSplit) send({"AlphaSplit"});
    return true;
  }

  void send(const std::vector<std::string>& fields) {
    FrameObserver observer(display_, 0);
    session_->command(commandLine(fields), observer, stallLimit_);
  }

  /// Ends the job and the session, if there is one.
  void closeJob() {
    if (!session_) return;
    if (session_->connected()) {
      FrameObserver observer(display_, 0);
      const CommandOutcome end = session_->command("EndJob", observer, stallLimit_);
      if (!end.succeeded()) display_.note("EndJob: " + end.failure());
    }
    const std::optional<int> status = session_->finish(30000);
    if (status && *status != 0)
      display_.note("maxsim exited with status " + std::to_string(*status));
    session_.reset();
  }

  void failRemaining(size_t from, const std::string& reason) {
    for (size_t index = from; index < options_.frames.size(); ++index) {
      FrameRecord record;
      record.frame = options_.frames[index];
      record.reason = reason;
      if (index > from) display_.frameStarted(record.frame, index);
      display_.frameFinished(record.frame, false, 0, reason);
      records_.push_back(record);
    }
  }

  /// Runs one command for the frame. On a broken session the session is dropped, so that the
  /// next frame starts a fresh maxsim. Returns the failure text, empty on success.
  std::string frameCommand(int frame, const std::vector<std::string>& fields,
                           CommandOutcome* outcome = nullptr, bool showErrors = true) {
    FrameObserver observer(display_, frame, showErrors);
    CommandOutcome result = session_->command(commandLine(fields), observer, stallLimit_);
    if (result.end != CommandOutcome::End::Completed) {
      display_.frameError(frame, result.breakReason());
      session_->finish(5000);
      session_.reset();
    }
    std::string failure = result.succeeded() ? "" : result.failure();
    if (outcome) *outcome = std::move(result);
    return failure;
  }

  /// The files the plug-in wrote for the last frame, asked one by one.
  std::vector<std::string> writtenFiles(int frame, std::string& failure) {
    std::vector<std::string> files;
    for (int index = 0;; ++index) {
      CommandOutcome outcome;
      const std::string script = "FoxgloveUtil.GetOutputFilename " + std::to_string(index);
      failure = frameCommand(frame, {"ExecuteStringScript", std::to_string(frame), script},
                             &outcome, false);
      if (outcome.end != CommandOutcome::End::Completed) return files;
      failure.clear();
      const std::string& reply = outcome.replies.back();
      // Past the last file the script yields undefined, which is no string.
      if (!startsWith(reply, "SUCCESS: ")) return files;
      files.push_back(reply.substr(9));
    }
  }

  FrameRecord renderFrame(int frame) {
    FrameRecord record;
    record.frame = frame;
    record.reason =
        options_.tiles ? renderTiles(frame, record.files) : renderWhole(frame, record.files);
    record.succeeded = record.reason.empty();
    return record;
  }

  std::string renderWhole(int frame, std::vector<std::string>& localFiles) {
    std::string failure = frameCommand(frame, {"RenderTask", std::to_string(frame)});
    if (!failure.empty()) return failure;
    const std::vector<std::string> files = writtenFiles(frame, failure);
    if (!failure.empty()) return failure;
    int width = output_.width;
    int height = output_.height;
    if (options_.region) {
      width = (*options_.region)[2] - (*options_.region)[0];
      height = (*options_.region)[3] - (*options_.region)[1];
    }
    std::vector<ExpectedFile> expected;
    for (const std::string& file : files) expected.push_back({localPath(file), width, height});
    const std::string base = options_.output ? *options_.output : output_.fileName;
    if (options_.jpegFolder && !options_.region && !files.empty() &&
        isNumberedFrom(files.front(), base)) {
      const std::string preview =
          localPath(previewName(previewFolder(*options_.jpegFolder), files.front()));
      if (fs::exists(preview)) {
        expected.push_back({preview, output_.width, output_.height});
      } else {
        display_.frameWarning(frame, "no JPEG preview was written: " + preview);
      }
    }
    if (files.empty()) display_.frameWarning(frame, "the plug-in wrote no files for this frame");
    return checkFiles(frame, expected, localFiles);
  }

  /// Decodes and checks each file; the failure text, empty when all are good.
  std::string checkFiles(int frame, const std::vector<ExpectedFile>& files,
                         std::vector<std::string>& localFiles) {
    std::string failure;
    for (const ExpectedFile& file : files) {
      localFiles.push_back(file.local);
      std::string problem;
      int width = 0;
      int height = 0;
      try {
        const Image image = readImage(file.local);
        width = image.width;
        height = image.height;
        problem = imageProblem(image, file.width, file.height);
      } catch (const ImageError& error) {
        problem = error.what();
      }
      display_.fileChecked(frame, file.local, width, height, problem);
      if (!problem.empty() && failure.empty()) failure = "bad file " + file.local + ": " + problem;
    }
    return failure;
  }

  std::string renderTiles(int frame, std::vector<std::string>& localFiles) {
    const std::vector<Tile> tiles =
        layoutTiles(output_.width, output_.height, options_.tiles->first, options_.tiles->second);
    const std::string base = options_.output ? *options_.output : output_.fileName;
    // Per written file (same order in every tile): its final name and the tiles' images.
    std::vector<std::string> finalNames;
    std::vector<std::vector<TileImage>> parts;
    for (const Tile& tile : tiles) {
      if (!session_) return "the session ended during the frame's tiles";
      send({"RegionRendering", std::to_string(options_.padding), std::to_string(tile.left),
            std::to_string(tile.top), std::to_string(tile.right), std::to_string(tile.bottom)});
      if (!base.empty()) send({"OutputImageFilename", taggedName(base, tile)});
      std::string failure = frameCommand(frame, {"RenderTask", std::to_string(frame)});
      if (!failure.empty()) return failure;
      const std::vector<std::string> files = writtenFiles(frame, failure);
      if (!failure.empty()) return failure;
      if (&tile != &tiles.front() && files.size() != finalNames.size()) {
        return "tile " + std::to_string(tile.column) + "," + std::to_string(tile.row) + " wrote " +
               std::to_string(files.size()) + " files, the first tile " +
               std::to_string(finalNames.size());
      }
      parts.resize(files.size());
      for (size_t i = 0; i < files.size(); ++i) {
        std::string finalName = untaggedName(files[i], tile);
        std::string tileFile = localPath(files[i]);
        if (finalName == files[i]) {
          // The plug-in wrote this file (a render element) under the frame's own name: move it
          // aside before the next tile overwrites it.
          const std::string aside = localPath(taggedName(files[i], tile));
          std::error_code error;
          fs::rename(tileFile, aside, error);
          if (error) return "cannot move " + tileFile + " aside: " + error.message();
          tileFile = aside;
        }
        if (&tile == &tiles.front()) {
          finalNames.push_back(finalName);
        } else if (finalNames[i] != finalName) {
          return "the tiles' files do not match: " + finalNames[i] + " and " + finalName;
        }
        try {
          parts[i].push_back({tile, readImage(tileFile)});
        } catch (const ImageError& error) {
          display_.fileChecked(frame, tileFile, 0, 0, error.what());
          return "bad file " + tileFile + ": " + error.what();
        }
      }
    }
    std::vector<ExpectedFile> stitched;
    for (size_t i = 0; i < finalNames.size(); ++i) {
      const std::string target = localPath(finalNames[i]);
      try {
        writeImage(target, stitchTiles(parts[i], output_.width, output_.height));
      } catch (const std::runtime_error& error) {
        return "cannot stitch " + target + ": " + error.what();
      }
      stitched.push_back({target, output_.width, output_.height});
    }
    if (finalNames.empty())
      display_.frameWarning(frame, "the plug-in wrote no files for this frame");
    return checkFiles(frame, stitched, localFiles);
  }

  const RenderOptions& options_;
  ProgressDisplay& display_;
  const Clock& clock_;
  std::chrono::milliseconds stallLimit_;
  WorkerEnvironment environment_;
  std::unique_ptr<PluginSession> session_;
  OutputDescription output_;
  std::string jobFailure_;
  std::vector<FrameRecord> records_;
};

}  // namespace

int runRender(const RenderOptions& options, ProgressDisplay& display, std::ostream& out,
              const Clock& clock) {
  return RenderRun(options, display, clock).run(out);
}

}  // namespace worker
