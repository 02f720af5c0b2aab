// Tiles of a frame: rendered one by one, the element files moved aside, stitched and checked.
#include "controller/worker/run/tile_render.h"

#include "controller/worker/images/image_files.h"
#include "controller/worker/images/stitching.h"
#include "controller/common/tile_layout.h"
#include "controller/worker/session/worker_environment.h"

#include <filesystem>

namespace worker {

namespace fs = std::filesystem;

namespace {

/// Per written file (same order in every tile): its final name and the tiles' images.
struct TileParts {
  std::vector<std::string> finalNames;
  std::vector<std::vector<TileImage>> images;
};

/// Renders one tile: its region and tagged output name, then RenderTask; returns its files.
controller::Expected<std::vector<std::string>> renderTile(FrameSteps& steps,
                                                          const RenderOptions& options,
                                                          const std::string& base,
                                                          const controller::Tile& tile, int frame) {
  if (!steps.hasSession()) {
    return controller::fail(controller::FailureKind::Frame,
                            "the session ended during the frame's tiles");
  }
  steps.option({"RegionRendering", std::to_string(options.padding), std::to_string(tile.left),
                std::to_string(tile.top), std::to_string(tile.right), std::to_string(tile.bottom)});
  if (!base.empty()) steps.option({"OutputImageFilename", taggedName(base, tile)});
  if (controller::Expected<void> rendered = steps.renderTask(frame); !rendered)
    return rendered.failure();
  return steps.writtenFiles(frame);
}

/// Reads one written file of a tile into the parts; an element file written under the frame's
/// own name is moved aside first.
controller::Expected<void> takeTileFile(FrameSteps& steps, const controller::Tile& tile, bool first,
                                        size_t index, const std::string& written, TileParts& parts,
                                        int frame) {
  const std::string finalName = untaggedName(written, tile);
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
  if (first) {
    parts.finalNames.push_back(finalName);
  } else if (parts.finalNames[index] != finalName) {
    return controller::fail(
        controller::FailureKind::Frame,
        "the tiles' files do not match: " + parts.finalNames[index] + " and " + finalName);
  }
  try {
    parts.images[index].push_back({tile, readImage(tileFile)});
  } catch (const ImageError& error) {
    steps.display().fileChecked(frame, tileFile, 0, 0, error.what());
    return controller::fail(controller::FailureKind::Frame,
                            "bad file " + tileFile + ": " + error.what());
  }
  return {};
}

/// Writes each file's stitched image under its final name; returns what to check.
controller::Expected<std::vector<ExpectedFile>> stitchParts(const TileParts& parts,
                                                            const OutputDescription& output) {
  std::vector<ExpectedFile> stitched;
  for (size_t i = 0; i < parts.finalNames.size(); ++i) {
    const std::string target = localPath(parts.finalNames[i]);
    try {
      writeImage(target, stitchTiles(parts.images[i], output.width, output.height));
    } catch (const std::runtime_error& error) {
      return controller::fail(controller::FailureKind::Frame,
                              "cannot stitch " + target + ": " + error.what());
    }
    stitched.push_back({parts.finalNames[i], target, output.width, output.height});
  }
  return stitched;
}

}  // namespace

controller::Expected<void> renderTiles(FrameSteps& steps, const RenderOptions& options,
                                       const OutputDescription& output, int frame,
                                       std::vector<controller::CheckedFile>& checked) {
  const std::vector<controller::Tile> tiles = controller::layoutTiles(
      output.width, output.height, options.tiles->first, options.tiles->second);
  const std::string base = options.output ? *options.output : output.fileName;
  TileParts parts;
  for (const controller::Tile& tile : tiles) {
    const bool first = &tile == &tiles.front();
    steps.progressPart(static_cast<size_t>(&tile - &tiles.front()), tiles.size());
    controller::Expected<std::vector<std::string>> files =
        renderTile(steps, options, base, tile, frame);
    if (!files) return files.failure();
    if (!first && files->size() != parts.finalNames.size()) {
      return controller::fail(controller::FailureKind::Frame,
                              "tile " + std::to_string(tile.column) + "," +
                                  std::to_string(tile.row) + " wrote " +
                                  std::to_string(files->size()) + " files, the first tile " +
                                  std::to_string(parts.finalNames.size()));
    }
    parts.images.resize(files->size());
    for (size_t i = 0; i < files->size(); ++i) {
      if (auto taken = takeTileFile(steps, tile, first, i, (*files)[i], parts, frame); !taken)
        return taken;
    }
  }
  controller::Expected<std::vector<ExpectedFile>> stitched = stitchParts(parts, output);
  if (!stitched) return stitched.failure();
  if (parts.finalNames.empty()) {
    steps.display().frameWarning(frame, "the plug-in wrote no files for this frame");
  }
  return steps.checkFiles(frame, *stitched, checked);
}

}  // namespace worker
