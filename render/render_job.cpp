// The job state's construction, its written-file look-up and its trapped calls.
#include "render/render_job.h"

#include "host/scene_file.h"
#include "log/log_stream.h"
#include "render/trapped_call.h"

#include <stdexcept>

namespace moonstone {

RenderJob::RenderJob() {
  // The log is open from plug-in load on; a stream opened earlier is reopened (and truncated).
  logStream.close();
  logStream.clear();
  openLogFile(logStream);
}

RenderJob::~RenderJob() = default;

std::string RenderJob::writtenFile(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= writtenFiles.size()) {
    throw std::invalid_argument("Output file requested doesn't exist");
  }
  return writtenFiles[index];
}

void RenderJob::trappedStartJob(const std::string& sceneFile, const std::string& cameraName,
                                std::string& errorText) {
  trappedCall("StartJob", errorText, faultFilter(), [&] { StartJob(sceneFile, cameraName); });
}

unsigned short RenderJob::trappedRenderFrame(unsigned frame, tangram::win32::simple_socket& socket,
                                             std::string& errorText) {
  const unsigned short status = trappedCall<unsigned short>(
      "RenderFrame", errorText, faultFilter(), 1, [&] { return RenderFrame(frame, socket); });
  // The trap left the frame where the fault struck, its clean-up skipped.
  if (!errorText.empty()) endFrame();
  return status;
}

void RenderJob::trappedEndJob(std::string& errorText) {
  trappedCall("EndJob", errorText, faultFilter(), [&] { EndJob(); });
}

bool RenderJob::trappedLoadFromFile(const std::string& sceneFile, std::string& errorText) {
  return trappedCall<bool>("LoadFromFile", errorText, faultFilter(), false,
                           [&] { return loadSceneFile(coreInterface8, sceneFile); });
}

int RenderJob::trappedOpenCurRenderer(INode* camera, ViewExp* view, RendType type, int width,
                                      int height, std::string& errorText) {
  return trappedCall<int>("OpenCurRenderer", errorText, faultFilter(), 0, [&] {
    return coreInterface->OpenCurRenderer(camera, view, type, width, height);
  });
}

int RenderJob::trappedCurRendererRenderFrame(TimeValue time, Bitmap* bitmap,
                                             RendProgressCallback* progress, ViewParams* view,
                                             RECT* region, std::string& errorText) {
  return trappedCall<int>("CurRendererRenderFrame", errorText, faultFilter(), 0, [&] {
    return coreInterface->CurRendererRenderFrame(time, bitmap, progress, 1.0f, view, region);
  });
}

void RenderJob::trappedCloseCurRenderer(std::string& errorText) {
  trappedCall("CloseCurRenderer", errorText, faultFilter(),
              [&] { coreInterface->CloseCurRenderer(); });
}

}  // namespace moonstone
