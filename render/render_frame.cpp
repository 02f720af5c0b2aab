// Rendering one frame of the job: output names, the frame's bitmaps, the single- or multi-pass
// render with progress sent to the controller, the black-frame test and the output files.
#include "render/render_job.h"

#include "host/cameras.h"
#include "host/frame_buffer.h"
#include "host/frame_time.h"
#include "host/numbered_filename.h"
#include "host/render_elements.h"
#include "host/renderer_requirements.h"
#include "log/log_stream.h"
#include "render/black_frame.h"
#include "render/output_writing.h"
#include "render/region.h"
#include "render/render_progress_callback.h"
#include "tangram/files/file_names.h"
#include "tangram/files/file_system.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace moonstone {

namespace {

// Where the main image of a scene that does not save its output is rendered to.
const char* const temporaryOutputPrefix = "C:\\foxglove\\temp\\temp_filename";

BitmapHolder createFrameBitmap(BitmapInfo& info) {
  BitmapHolder bitmap(TheManager->Create(&info));
  if (!bitmap)
    throw std::runtime_error("Failed to allocate Bitmap: TheManager->Create() return NULL");
  return bitmap;
}

bool folderExists(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data) &&
         (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Marks a frame in progress and ends it on every way out that runs destructors (a return or a
// thrown error); a trapped fault skips it, and endFrame() then runs from the trap or the next
// frame.
class FrameEnd {
 public:
  explicit FrameEnd(RenderJob& job) : job_(job) { job_.frameInProgress = true; }
  ~FrameEnd() { job_.endFrame(); }
  FrameEnd(const FrameEnd&) = delete;
  FrameEnd& operator=(const FrameEnd&) = delete;

 private:
  RenderJob& job_;
};

// Takes the output description and the render elements from the render settings, as the
// renderer is about to be opened with them.
void takeOutputSettings(RenderJob& job) {
  Interface* core = job.coreInterface;
  job.outputInfo.Copy(&core->GetRendFileBI());
  job.prepareOutputInfo(job.outputInfo);
  if (core->GetRendSaveFile()) {
    job.outputBaseName = job.outputInfo.Name();
  } else {
    job.outputBaseName = temporaryOutputPrefix + std::to_string(std::rand()) + ".bmp";
  }

  IRenderElementMgr* elements = core->GetCurRenderElementMgr();
  job.renderElementCount = activeRenderElementCount(elements);
  job.renderElements.clear();
  job.elementBitmaps.clear();
  job.elementBaseNames.clear();
  for (int i = 0; i < job.renderElementCount; ++i) {
    IRenderElement* element = elements->GetRenderElement(i);
    PBBitmap* output = element ? elementOutput(element) : nullptr;
    job.renderElements.push_back(element);
    job.elementBitmaps.push_back(output);
    job.elementBaseNames.push_back(output ? output->bi.Name() : "");
    if (output) job.prepareOutputInfo(output->bi);
  }
}

void sizeOutputsToRegion(RenderJob& job) {
  sizeToRegion(job, job.outputInfo);
  for (PBBitmap* output : job.elementBitmaps) {
    if (output) sizeToRegion(job, output->bi);
  }
}

std::string frameFileName(const RenderJob& job, const std::string& base, unsigned frame) {
  if (job.removePadding) return base;
  return numberedFilename(base, static_cast<int>(frame) + job.frameNumberBase);
}

// Gives every element its file name for the frame and the bitmap the renderer fills.
void createElementBitmaps(RenderJob& job, unsigned frame) {
  for (size_t i = 0; i < job.elementBitmaps.size(); ++i) {
    PBBitmap* output = job.elementBitmaps[i];
    if (!output) continue;
    output->bi.SetName(frameFileName(job, job.elementBaseNames[i], frame).c_str());
    output->bm = TheManager->Create(&output->bi);
    logStream << "Element Bitmap " << static_cast<void*>(output->bm) << std::endl;
  }
  logStream << "Rendering " << job.renderElementCount << " render elements" << std::endl;
}

void createElementAccumulators(RenderJob& job) {
  for (PBBitmap* output : job.elementBitmaps) {
    job.elementAccumulators.emplace_back(output ? TheManager->Create(&output->bi) : nullptr);
  }
}

void createOutputFolders(RenderJob& job) {
  logStream << "checking output paths" << std::endl;
  if (job.coreInterface->GetRendSaveFile()) {
    CreateOutputPath(job, &job.outputInfo);
    if (job.useJpegOutput) {
      if (job.jpegOutputPath.empty()) {
        logStream << "no jpeg output path specified, disabling jpeg output" << std::endl;
        job.useJpegOutput = false;
      } else if (!folderExists(job.jpegOutputPath)) {
        logStream << "creating jpeg output path: " << job.jpegOutputPath << std::endl;
        try {
          tangram::files::make_directories(job.jpegOutputPath);
        } catch (const std::exception&) {
          logStream << "could not create jpeg output path, disabling jpeg output" << std::endl;
          job.useJpegOutput = false;
        }
      }
    }
  }
  for (PBBitmap* output : job.elementBitmaps) {
    if (!output) continue;
    const std::string folder = tangram::files::parent_directory(output->bi.Name());
    if (!folderExists(folder)) {
      logStream << "creating output path: " << folder << std::endl;
      tangram::files::make_directories(folder);
    }
  }
}

// Logs what a trapped renderer call returned; a fault inside it ends the frame.
void checkTrappedRender(RenderJob& job, int result, const std::string& errorText) {
  logStream << "CallCurRendererRenderFrame returned code " << (result != 0 ? 1 : 0) << std::endl;
  if (!errorText.empty()) throw std::runtime_error(errorText + "\n" + job.lastFaultDescription);
}

bool showsFrameBuffer(const RenderJob& job) {
  return !job.holderRenderer && job.showFrameBuffer;
}

RECT* renderRegion(RenderJob& job) {
  return job.regionRendering ? &job.regionRect : nullptr;
}

void renderSinglePass(RenderJob& job, TimeValue t, Bitmap* frameBitmap,
                      tangram::win32::simple_socket& socket) {
  MoonstoneRenderCallback callback(socket, "", 0.0f, 1.0f);
  const bool shown = showsFrameBuffer(job);
  if (shown) showInFrameBuffer(frameBitmap);
  std::string errorText;
  const int result = job.trappedCurRendererRenderFrame(t, frameBitmap, &callback, nullptr,
                                                       renderRegion(job), errorText);
  checkTrappedRender(job, result, errorText);
  if (result == 0) throw std::runtime_error("Failed to render the frame.");
  if (shown) removeFromFrameBuffer(frameBitmap);
}

// Renders pass p of the camera's effect into the pass bitmap; gives back the pass's time. The
// callback and texts live only for the renderer's call, so that nothing of them is left behind
// when a fault is trapped while the pass is accumulated.
TimeValue renderPass(RenderJob& job, TimeValue t, int p, tangram::win32::simple_socket& socket) {
  const int passes = job.multipassPassCount;
  const std::string ofPasses = std::to_string(p + 1) + " of " + std::to_string(passes);
  if (showsFrameBuffer(job)) showInFrameBuffer(job.passBitmap.get());
  MoonstoneRenderCallback callback(socket, "Pass " + ofPasses + " - ",
                                   static_cast<float>(p * 100) / static_cast<float>(passes),
                                   1.0f / static_cast<float>(passes));
  logStream << "\trendering pass: " << ofPasses << std::endl;
  TimeValue passTime = t;
  ViewParams* view =
      job.multipassEffect->Apply(job.renderCameraNode, asCamera(job.cameraObject), p, passTime);
  std::string errorText;
  const int result = job.trappedCurRendererRenderFrame(passTime, job.passBitmap.get(), &callback,
                                                       view, renderRegion(job), errorText);
  checkTrappedRender(job, result, errorText);
  if (result == 0) {
    logStream << "\tfailure" << std::endl;
    throw std::runtime_error("Failed to render the frame for pass " + ofPasses);
  }
  return passTime;
}

// Folds pass p into the frame bitmap and the element accumulators.
void accumulatePass(RenderJob& job, int p, TimeValue passTime) {
  job.multipassEffect->AccumulateBitmap(job.frameBitmap.get(), job.passBitmap.get(), p, passTime);
  for (size_t i = 0; i < job.elementAccumulators.size(); ++i) {
    PBBitmap* output = job.elementBitmaps[i];
    if (output && output->bm && job.elementAccumulators[i]) {
      job.multipassEffect->AccumulateBitmap(job.elementAccumulators[i].get(), output->bm, p,
                                            passTime);
    }
  }
}

// Renders every pass of the camera's effect and folds the passes into the frame bitmap and the
// element accumulators.
void renderMultiplePasses(RenderJob& job, TimeValue t, tangram::win32::simple_socket& socket) {
  logStream << "rendering multipass effect:" << std::endl;
  job.passBitmap = createFrameBitmap(job.outputInfo);
  for (int p = 0; p < job.multipassPassCount; ++p) {
    accumulatePass(job, p, renderPass(job, t, p, socket));
    logStream << "\tsuccess" << std::endl;
  }
  if (showsFrameBuffer(job)) removeFromFrameBuffer(job.passBitmap.get());
  job.passBitmap.reset();
  job.multipassEffect->PostRenderFrame();
}

void writeImage(RenderJob& job, Bitmap* bitmap, BitmapInfo* info) {
  if (job.regionRendering) {
    WriteRegionImage(job, bitmap, info);
  } else {
    WriteOutputImage(job, bitmap, info);
  }
}

void writeMainImage(RenderJob& job, Bitmap* frameBitmap) {
  if (!job.coreInterface->GetRendSaveFile()) return;
  // Such a renderer saves its output itself.
  if (rendererRequires(job.coreInterface,
                       IRendererRequirements::kRequirement_DontSaveRenderOutput)) {
    return;
  }
  writeImage(job, frameBitmap, &job.outputInfo);
  if (job.regionRendering || !job.useJpegOutput) return;
  try {
    WriteJpegPreview(job, frameBitmap, &job.outputInfo);
  } catch (const std::exception& error) {
    logStream << "Failed to save jpeg output because: " << error.what() << std::endl;
  }
}

void writeElementImages(RenderJob& job, bool multiPass) {
  for (size_t i = 0; i < job.elementBitmaps.size(); ++i) {
    PBBitmap* output = job.elementBitmaps[i];
    if (!output) continue;
    Bitmap* image = output->bm;
    if (multiPass) {
      // The last pass is in the accumulator with the others; its own bitmap is done with.
      releaseBitmap(output->bm);
      image = i < job.elementAccumulators.size() ? job.elementAccumulators[i].get() : nullptr;
    }
    if (image) writeImage(job, image, &output->bi);
  }
}

}  // namespace

void RenderJob::prepareOutputInfo(BitmapInfo& info) {
  const bool floatOutput =
      rendererRequires(coreInterface, IRendererRequirements::kRequirement8_Wants32bitFPOutput);
  info.SetType(floatOutput ? BMM_FLOAT_RGBA_32 : BMM_TRUE_64);
  info.SetFlags(MAP_HAS_ALPHA);
  info.ResetCustomFlag(info.GetCustomFlags());
  if (regionRendering) {
    sizeToRegion(*this, info);
  } else {
    info.SetWidth(static_cast<WORD>(coreInterface->GetRendWidth()));
    info.SetHeight(static_cast<WORD>(coreInterface->GetRendHeight()));
  }
  info.SetAspect(coreInterface->GetRendApect());
}

void RenderJob::releaseElementBitmaps() {
  for (PBBitmap* output : elementBitmaps) {
    if (output) releaseBitmap(output->bm);
  }
  // Every accumulator goes, whatever the multi-pass state is now: they are the frame's.
  elementAccumulators.clear();
}

void RenderJob::endFrame() {
  if (!frameInProgress) return;
  passBitmap.reset();
  frameBitmap.reset();
  releaseElementBitmaps();
  // The next frame (also one that takes the render settings again) numbers from the names the
  // scene gave.
  outputInfo.SetName(outputBaseName.c_str());
  for (size_t i = 0; i < elementBitmaps.size() && i < elementBaseNames.size(); ++i) {
    if (PBBitmap* output = elementBitmaps[i]) output->bi.SetName(elementBaseNames[i].c_str());
  }
  frameInProgress = false;
}

unsigned short RenderJob::RenderFrame(unsigned frame, tangram::win32::simple_socket& socket) {
  logStream << "Renderframe " << frame << std::endl;
  if (!jobRunning) {
    throw std::runtime_error(
        "RenderFrame called when consistency check flag jobRunning was not set");
  }
  // Whatever the last frame ended with: a fault trapped outside the renderer's own trap may have
  // left its bitmaps and per-frame lists behind.
  endFrame();
  const TimeValue t = frameTime(static_cast<TimeValue>(frame));
  coreInterface->SetTime(t, TRUE);
  writtenFiles.clear();
  if (!rendererOpen) takeOutputSettings(*this);
  // The images of a frame have the size of the region set for it, also when the renderer stays
  // open from a frame that had another region (the next tile of the job) or none.
  if (regionRendering) sizeOutputsToRegion(*this);

  FrameEnd frameEnd(*this);
  // The frame's name is kept in outputInfo alone: a fault trapped later abandons this stack frame
  // without destroying what it holds.
  outputInfo.SetName(
      frameFileName(*this, useOutputImageFilename ? outputImageFilename : outputBaseName, frame)
          .c_str());
  if (coreInterface->GetSkipRenderedFrames() && tangram::files::file_exists(outputInfo.Name())) {
    logStream << "Skipping frame " << outputInfo.Name() << " because it already exists"
              << std::endl;
    return 0;
  }
  logStream << "Rendering frame " << outputInfo.Name() << std::endl;

  if (regionRendering) checkRegionHasPixels(*this);
  frameBitmap = createFrameBitmap(outputInfo);
  frameBitmap->PrepareGChannels(&outputInfo);
  logStream << "Bitmap " << static_cast<void*>(frameBitmap.get()) << std::endl;
  createElementBitmaps(*this, frame);

  if (!rendererOpen) openRenderer(static_cast<int>(frame));
  // Whether passes are accumulated is known only once the renderer is open; an effect from an
  // earlier job (the renderer opened on a viewport) is not used.
  const bool multiPass = multipassEnabled && multipassEffect != nullptr;
  if (multiPass) createElementAccumulators(*this);

  createOutputFolders(*this);
  logDefaultActions();
  logStream << "calling renderer" << std::endl;
  if (multiPass) {
    renderMultiplePasses(*this, t, socket);
  } else {
    renderSinglePass(*this, t, frameBitmap.get(), socket);
  }
  logStream << "render done" << std::endl;

  if (failOnBlackFrames) CheckBlackFrame(*this, frameBitmap.get());
  writeMainImage(*this, frameBitmap.get());
  writeElementImages(*this, multiPass);

  endFrame();
  if (restartRenderer) {
    renderElements.clear();
    elementBitmaps.clear();
    closeRenderer();
  }
  return 0;
}

}  // namespace moonstone
