// Stitching a tiled farm job's frames from the tile tasks' images.
#include "controller/farm/stitch_task.h"

#include "controller/farm/farm_job.h"
#include "controller/farm/job_view.h"
#include "controller/common/exit_status.h"
#include "controller/common/frame_spec.h"
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

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
  return text;
}

// The path a tile task's file has in the real drive: its drive folder swapped for the drive's.
std::string finalPath(const FarmJob& job, int task, const std::string& localPath) {
  for (const auto& [letter, folder] : job.drives) {
    const std::string tileFolder = tileDriveFolder(job.directory, task, letter) + "/";
    if (localPath.rfind(tileFolder, 0) == 0)
      return folder + "/" + localPath.substr(tileFolder.size());
  }
  return "";
}

// Stitches one frame; returns its files' records, or throws std::runtime_error saying why not.
nlohmann::json stitchFrame(const FarmJob& job, const std::vector<controller::Tile>& tiles,
                           const std::vector<std::map<int, nlohmann::json>>& done, int frame,
                           std::ostream& out) {
  std::map<std::string, std::vector<worker::TileImage>> parts;
  std::map<std::string, std::string> hostPaths;
  for (size_t t = 0; t < tiles.size(); ++t) {
    const auto record = done[t].find(frame);
    if (record == done[t].end())
      throw std::runtime_error("tile " + std::to_string(tiles[t].column) + "," +
                               std::to_string(tiles[t].row) + " was not rendered");
    for (const nlohmann::json& file : record->second.value("files", nlohmann::json::array())) {
      const std::string local = file.value("local_path", "");
      const std::string target = finalPath(job, static_cast<int>(t), local);
      if (target.empty()) throw std::runtime_error(local + " is not on a mapped output drive");
      parts[target].push_back({tiles[t], worker::readImage(local)});
      hostPaths[target] = file.value("path", target);
    }
  }
  nlohmann::json files = nlohmann::json::array();
  for (const auto& [target, images] : parts) {
    if (images.size() != tiles.size())
      throw std::runtime_error(target + ": " + std::to_string(images.size()) + " of " +
                               std::to_string(tiles.size()) + " tiles wrote it");
    fs::create_directories(fs::path(target).parent_path());
    worker::writeImage(target, worker::stitchTiles(images, job.width, job.height));
    const worker::Image written = worker::readImage(target);
    out << "FILE: " << frame << " ok " << written.width << "x" << written.height << " " << target
        << "\n";
    files.push_back({{"path", hostPaths[target]},
                     {"local_path", target},
                     {"bytes", fs::file_size(target)},
                     {"width", written.width},
                     {"height", written.height}});
  }
  if (files.empty()) throw std::runtime_error("the tiles wrote no files");
  return files;
}

}  // namespace

int runStitch(const std::string& directory, int attempt, std::ostream& out) {
  const std::string started = utcNow();
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
  std::vector<std::map<int, nlohmann::json>> done;
  for (size_t t = 0; t < tiles.size(); ++t) done.push_back(doneRecords(job, static_cast<int>(t)));
  nlohmann::json records = nlohmann::json::array();
  size_t stitched = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    const int frame = frames[i];
    out << "FRAME: " << frame << " start " << i + 1 << "/" << frames.size() << "\n";
    const auto begin = std::chrono::steady_clock::now();
    nlohmann::json record = {{"frame", frame},          {"status", "done"},
                             {"files", nullptr},        {"error", nullptr},
                             {"fault_report", nullptr}, {"plugin_log", nullptr},
                             {"maxsim_log", nullptr}};
    try {
      record["files"] = stitchFrame(job, tiles, done, frame, out);
      ++stitched;
    } catch (const std::exception& error) {
      record["status"] = "failed";
      record["files"] = nlohmann::json::array();
      record["error"] = error.what();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    record["seconds"] = seconds;
    out << "FRAME: " << frame << " " << record["status"].get<std::string>() << " " << seconds << "s"
        << (record["error"].is_string() ? " " + record["error"].get<std::string>() : "") << "\n";
    records.push_back(record);
  }
  const int code =
      stitched == frames.size() ? controller::allFramesDone : controller::someFramesFailed;
  const nlohmann::json summary = {{"scene", job.scene}, {"frames_spec", frameListText(frames)},
                                  {"started", started}, {"ended", utcNow()},
                                  {"exit_code", code},  {"job_error", nullptr},
                                  {"frames", records}};
  const std::string path = attemptFile(directory, job.stitchTask(), attempt, ".json");
  std::ofstream(path + ".tmp") << summary.dump(2) << "\n";
  std::rename((path + ".tmp").c_str(), path.c_str());
  out << "JOB: done " << stitched << "/" << frames.size() << " frames succeeded\n";
  return code;
}

}  // namespace farm
