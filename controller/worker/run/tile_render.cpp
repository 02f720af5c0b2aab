// Tiles of a frame: rendered one by one, the element files moved aside, stitched and checked.
#include "controller/worker/run/tile_render.h"

#include "controller/worker/images/image_files.h"
#include "controller/worker/images/stitching.h"
#include "controller/common/tile_layout.h"
#include "controller/worker/session/worker_environment.h"

#include <filesystem>

namespace worker {

namespace fs = std::filesystem;

controller::Expected<void> renderTiles(FrameSteps& steps, const RenderOptions& options,
                                       const OutputDescription& output, int frame,
                                       std::vector<controller::CheckedFile>& checked) {
  const std::vector<controller::Tile> tiles = controller::layoutTiles(
      output.width, output.height, options.tiles->first, options.tiles->second);
  const std::string base = options.output ? *options.output : output.fileName;
  // Per written file (same order in every tile): its final name and the tiles' images.
  std::vector<std::string> finalNames;
  std::vector<std::vector<TileImage>> parts;
  for (const controller::Tile& tile : tiles) {
    if (!steps.hasSession()) {
      return controller::fail(controller::FailureKind::Frame,
                              "the session ended during the frame's tiles");
    }
    steps.option({"RegionRendering", std::to_string(options.padding), std::to_string(tile.left),
                  std::to_string(tile.top), std::to_string(tile.right),
                  std::to_string(tile.bottom)});
    if (!base.empty()) steps.option({"OutputImageFilename", taggedName(base, tile)});
    if (controller::Expected<void> rendered = steps.renderTask(frame); !rendered) return rendered;
    controller::Expected<std::vector<std::string>> files = steps.writtenFiles(frame);
    if (!files) return files.failure();
    if (&tile != &tiles.front() && files->size() != finalNames.size()) {
      return controller::fail(controller::FailureKind::Frame,
                              "tile " + std::to_string(tile.column) + "," +
                                  std::to_string(tile.row) + " wrote " +
                                  std::to_string(files->size()) + " files, the first tile " +
                                  std::to_string(finalNames.size()));
    }
    parts.resize(files->size());
    for (size_t i = 0; i < files->size(); ++i) {
      const std::string& written = (*files)[i];
      std::string finalName = untaggedName(written, tile);
      std::string tileFile = localPath(written);
      if (finalName == written) {
        // The plug-in wrote this file (a render element) under the frame's own name: move it
        // aside before the next tile overwrites it.
        const std::string aside = localPath(taggedName(written, tile));
        std::error_code error;
        fs::rename(tileFile, aside, error);
        if (error) {
          return controller::fail(controller::FailureKind::Frame,
                                  "cannot move " + tileFile + " aside: " + error.message());
        }
        tileFile = aside;
      }
      if (&tile == &tiles.front()) {
        finalNames.push_back(finalName);
      } else if (finalNames[i] != finalName) {
        return controller::fail(
            controller::FailureKind::Frame,
            "the tiles' files do not match: " + finalNames[i] + " and " + finalName);
      }
      try {
        parts[i].push_back({tile, readImage(tileFile)});
      } catch (const ImageError& error) {
        steps.display().fileChecked(frame, tileFile, 0, 0, error.what());
        return controller::fail(controller::FailureKind::Frame,
                                "bad file " + tileFile + ": " + error.what());
      }
    }
  }
  std::vector<ExpectedFile> stitched;
  for (const std::string& finalName : finalNames) {
    const std::string target = localPath(finalName);
    try {
      writeImage(target,
                 stitchTiles(parts[&finalName - &finalNames.front()], output.width, output.height));
    } catch (const std::runtime_error& error) {
      return controller::fail(controller::FailureKind::Frame,
                              "cannot stitch " + target + ": " + error.what());
    }
    stitched.push_back({finalName, target, output.width, output.height});
  }
  if (finalNames.empty()) {
    steps.display().frameWarning(frame, "the plug-in wrote no files for this frame");
  }
  return steps.checkFiles(frame, stitched, checked);
}

}  // namespace worker
