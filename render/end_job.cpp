// Ending a job: the renderer closed, the viewport handed back, the job flag cleared.
#include "render/render_job.h"

#include <stdexcept>

namespace moonstone {

void RenderJob::EndJob() {
  if (!jobRunning) {
    throw std::runtime_error("EndJob called when consistency check flag jobRunning was not set");
  }
  // While the scene that holds the elements is still loaded: a frame abandoned by a fault trap
  // gives its bitmaps back.
  endFrame();
  if (rendererOpen) closeRenderer();
  coreInterface->ReleaseViewport(activeViewport);
  // The viewports show the scene as it stands after the job's renders.
  coreInterface->ForceCompleteRedraw(TRUE);
  multipassEffect = nullptr;
  jobRunning = false;
}

void RenderJob::closeRenderer() {
  if (!rendererOpen) return;
  std::string errorText;
  trappedCloseCurRenderer(errorText);
  if (!errorText.empty()) throw std::runtime_error(errorText + "\n" + lastFaultDescription);
  rendererOpen = false;
}

}  // namespace moonstone
