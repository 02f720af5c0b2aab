// The stitching task of a tiled farm job, without Slurm: tile tasks' images and summaries as the
// tile tasks leave them, stitched into the real drive; a frame missing a tile fails alone.
#include "controller/farm/farm_job.h"
#include "controller/farm/stitch_task.h"
#include "controller/worker/images/image_files.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

worker::Image filled(int width, int height, std::uint8_t value) {
  worker::Image image;
  image.width = width;
  image.height = height;
  image.channels = 4;
  image.bytes.assign(static_cast<size_t>(width * height * 4), value);
  return image;
}

TEST(StitchTaskTest, TilesOfEachFrameBecomeTheFrameInTheRealDriveAndAMissingTileFailsItsFrame) {
  TempFolder folder;
  farm::FarmJob job;
  job.directory = folder.path().string();
  job.frames = {1, 2};
  job.tileColumns = 2;
  job.tileRows = 1;
  job.width = 5;
  job.height = 2;
  job.drives = {{"R", (folder.path() / "out").string()}};
  job.chunks.assign(3, job.frames);
  job.submissions = {{"7", 0, {0, 1}}, {"8", 0, {2}}};
  farm::saveJob(job);
  // Tile 0 is 2 pixels wide (value 10), tile 1 is 3 wide (value 200) and has only frame 1.
  const int widths[] = {2, 3};
  const std::uint8_t values[] = {10, 200};
  for (int t = 0; t < 2; ++t) {
    nlohmann::json frames = nlohmann::json::array();
    for (int frame : {1, 2}) {
      if (t == 1 && frame == 2) {
        frames.push_back({{"frame", 2}, {"status", "failed"}, {"error", "crashed"}});
        continue;
      }
      const std::string local = farm::tileDriveFolder(job.directory, t, "R") + "/shots/x000" +
                                std::to_string(frame) + ".tga";
      fs::create_directories(fs::path(local).parent_path());
      worker::writeImage(local, filled(widths[t], 2, values[t]));
      frames.push_back({{"frame", frame},
                        {"status", "done"},
                        {"files",
                         {{{"path", "R:\\shots\\x000" + std::to_string(frame) + ".tga"},
                           {"local_path", local}}}}});
    }
    std::ofstream(farm::attemptFile(job.directory, t, 0, ".json"))
        << nlohmann::json{{"exit_code", t == 1 ? 1 : 0}, {"frames", frames}};
  }
  fs::create_directories(farm::taskFolder(job.directory, 2));
  std::ofstream(farm::attemptFile(job.directory, 2, 0, ".frames")) << "1,2";

  std::ostringstream out;
  EXPECT_EQ(farm::runStitch(job.directory, 0, out), 1) << out.str();
  const worker::Image frame1 = worker::readImage((folder.path() / "out/shots/x0001.tga").string());
  ASSERT_EQ(frame1.width, 5);
  ASSERT_EQ(frame1.height, 2);
  EXPECT_EQ(frame1.bytes[0], 10);
  EXPECT_EQ(frame1.bytes[4 * 2], 200);     // first pixel of tile 1
  EXPECT_EQ(frame1.bytes[4 * 5 + 4], 10);  // second row, second pixel: tile 0
  EXPECT_FALSE(fs::exists(folder.path() / "out/shots/x0002.tga"));

  std::ifstream in(farm::attemptFile(job.directory, 2, 0, ".json"));
  const nlohmann::json summary = nlohmann::json::parse(in);
  EXPECT_EQ(summary["exit_code"], 1);
  EXPECT_EQ(summary["frames"][0]["status"], "done");
  EXPECT_EQ(summary["frames"][0]["files"][0]["path"], "R:\\shots\\x0001.tga");
  EXPECT_EQ(summary["frames"][1]["status"], "failed");
  EXPECT_EQ(summary["frames"][1]["error"], "tile 1,0 was not rendered");
}

}  // namespace
