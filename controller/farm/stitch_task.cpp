// Stitching a tiled farm job's frames from the tile tasks' images.
#include "controller/farm/stitch_task.h"

#include "controller/farm/farm_job.h"
#include "controller/farm/job_view.h"
#include "controller/common/exit_status.h"
#include "controller/common/frame_spec.h"
#include "controller/common/summary_json.h"
#include "controller/worker/images/image_files.h"
#include "controller/worker/images/stitching.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>

namespace farm {
namespace {

namespace fs = std::filesystem;

// The path a tile task's file has in the real drive: its drive folder swapped for the drive's.
std::string finalPath(const FarmJob& job, int task, const std::string& localPath) {
  for (const auto& [letter, folder] : job.drives) {
    const std::string tileFolder = tileDriveFolder(job.directory, task, letter) + "/";
    if (localPath.rfind(tileFolder, 0) == 0)
      return folder + "/" + localPath.substr(tileFolder.size());
  }
  return "";
}

// Stitches one frame; returns its files, or throws std::runtime_error saying why not.
std::vector<controller::CheckedFile> stitchFrame(
    const FarmJob& job, const std::vector<controller::Tile>& tiles,
    const std::vector<std::map<int, controller::FrameRecord>>& done, int frame, std::ostream& out) {
  std::map<std::string, std::vector<worker::TileImage>> parts;
  std::map<std::string, std::string> hostPaths;
  for (size_t t = 0; t < tiles.size(); ++t) {
    const auto record = done[t].find(frame);
    if (record == done[t].end())
      throw std::runtime_error("tile " + std::to_string(tiles[t].column) + "," +
                               std::to_string(tiles[t].row) + " was not rendered");
    for (const controller::CheckedFile& file : record->second.files) {
      const std::string target = finalPath(job, static_cast<int>(t), file.localPath);
      if (target.empty())
        throw std::runtime_error(file.localPath + " is not on a mapped output drive");
      parts[target].push_back({tiles[t], worker::readImage(file.localPath)});
      hostPaths[target] = file.pluginPath.empty() ? target : file.pluginPath;
    }
  }
  std::vector<controller::CheckedFile> files;
  for (const auto& [target, images] : parts) {
    if (images.size() != tiles.size())
      throw std::runtime_error(target + ": " + std::to_string(images.size()) + " of " +
                               std::to_string(tiles.size()) + " tiles wrote it");
    fs::create_directories(fs::path(target).parent_path());
    worker::writeImage(target, worker::stitchTiles(images, job.width, job.height));
    const worker::Image written = worker::readImage(target);
    out << "FILE: " << frame << " ok " << written.width << "x" << written.height << " " << target
        << "\n";
    files.push_back(
        {hostPaths[target], target, fs::file_size(target), written.width, written.height});
  }
  if (files.empty()) throw std::runtime_error("the tiles wrote no files");
  return files;
}

// Stitches one frame and prints its lines; its record says how it went.
controller::FrameRecord stitchAndRecord(
    const FarmJob& job, const std::vector<controller::Tile>& tiles,
    const std::vector<std::map<int, controller::FrameRecord>>& done, int frame, std::ostream& out) {
  const auto begin = std::chrono::steady_clock::now();
  controller::FrameRecord record;
  record.frame = frame;
  record.status = controller::FrameStatus::Done;
  try {
    record.files = stitchFrame(job, tiles, done, frame, out);
  } catch (const std::exception& error) {
    record.status = controller::FrameStatus::Failed;
    record.files.clear();
    record.reason = error.what();
  }
  record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  out << "FRAME: " << frame << " " << (record.succeeded() ? "done" : "failed") << " "
      << record.seconds << "s" << (record.reason.empty() ? "" : " " + record.reason) << "\n";
  return record;
}

}  // namespace

int runStitch(const std::string& directory, int attempt, std::ostream& out) {
  controller::JobSummary summary;
  summary.started = std::chrono::system_clock::now();
  FarmJob job;
  std::vector<int> frames;
  try {
    job = loadJob(directory);
    std::ifstream in(attemptFile(directory, job.stitchTask(), attempt, ".frames"));
    std::string spec;
    std::getline(in, spec);
    frames = controller::parseFrameSpec(spec);
  } catch (const std::exception& error) {
    out << "ERROR: cannot read the job: " << error.what() << "\n";
    return controller::usageError;
  }
  const std::vector<controller::Tile> tiles =
      controller::layoutTiles(job.width, job.height, job.tileColumns, job.tileRows);
  std::vector<std::map<int, controller::FrameRecord>> done;
  for (size_t t = 0; t < tiles.size(); ++t) done.push_back(doneRecords(job, static_cast<int>(t)));
  size_t stitched = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    out << "FRAME: " << frames[i] << " start " << i + 1 << "/" << frames.size() << "\n";
    summary.frames.push_back(stitchAndRecord(job, tiles, done, frames[i], out));
    stitched += summary.frames.back().succeeded();
  }
  summary.scene = job.scene;
  summary.frameSpec = frameListText(frames);
  summary.ended = std::chrono::system_clock::now();
  summary.exitCode =
      stitched == frames.size() ? controller::allFramesDone : controller::someFramesFailed;
  try {
    controller::writeSummaryJson(attemptFile(directory, job.stitchTask(), attempt, ".json"),
                                 summary);
  } catch (const std::runtime_error& error) {
    out << "ERROR: job cannot write the summary: " << error.what() << "\n";
  }
  out << "JOB: done " << stitched << "/" << frames.size() << " frames succeeded\n";
  return summary.exitCode;
}

}  // namespace farm
