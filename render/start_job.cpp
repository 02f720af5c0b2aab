// Starting a job: settings reset, missing-data actions, scene load, camera choice, renderer
// classification; and opening the renderer at the job's first frame.
#include "render/render_job.h"

#include "host/cameras.h"
#include "host/class_ids.h"
#include "host/default_actions.h"
#include "host/scene_file.h"
#include "log/log_stream.h"

#include <max.h>

#include <iFnPub.h>

#include <stdexcept>

namespace moonstone {

namespace {

/// One kind of missing data: the host's kind, the job's flag, and how the log names it.
struct MissingDataAction {
  MissingData kind;
  bool RenderJob::*ignore;
  const char* errors;    // "... missing <errors> errors"
  const char* hostName;  // the host's name of the kind
};

// In the order the host is told and asked.
const MissingDataAction missingDataActions[] = {
    {MissingData::ExternalFiles, &RenderJob::ignoreMissingExternalFiles, "external file",
     "TYPE_MISSING_EXTERNAL_FILES"},
    {MissingData::UVWs, &RenderJob::ignoreMissingUVWs, "UVW cooridinate", "TYPE_MISSING_UVWS"},
    {MissingData::DLLs, &RenderJob::ignoreMissingDLLs, "DLL", "TYPE_MISSING_DLL_FILES"},
    {MissingData::XREFs, &RenderJob::ignoreMissingXREFs, "XREF", "TYPE_MISSING_XREF_FILES"},
};

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

/// The settings that each job starts from; the missing-data flags, the controller's output name
/// and the current frame carry over from job to job.
void resetPerJobSettings(RenderJob& job) {
  job.holderRenderer = false;
  job.effectRenderer = false;
  job.frameNumberBase = 0;
  job.showFrameBuffer = true;
  job.restartRenderer = false;
  job.removePadding = false;
  job.alphaSplit = false;
  job.failOnBlackFrames = false;
  job.blackPixelPercentage = 0;
  job.blackPixelThreshold = 0.1f;
  job.useJpegOutput = false;
  job.jpegOutputPath.clear();
  job.regionRendering = false;
  job.regionRect = {0, 0, 0, 0};
  job.regionPadding = 0;
  job.regionClip = {0, 0, 0, 0};
  job.useOutputImageFilename = false;
}

}  // namespace

void RenderJob::StartJob(const std::string& sceneFile, const std::string& cameraName) {
  coreInterface = GetCOREInterface();
  coreInterface8 = GetCOREInterface8();
  logStream << "StartJob begin" << std::endl;
  // Reset before the check below, so that a rejected StartJob still resets the running job.
  resetPerJobSettings(*this);
  if (jobRunning) throw std::runtime_error("StartJob called when job was already running.");

  logStream << "setting up default actions" << std::endl;
  applyDefaultActions();

  logStream << "Checking max file validity..." << std::endl;
  if (!isSceneFile(coreInterface8, sceneFile)) {
    throw std::runtime_error("Invalid max file: " + quoted(sceneFile));
  }

  logStream << "Trying to load max file..." << std::endl;
  std::string errorText;
  bool loaded = false;
  try {
    loaded = trappedLoadFromFile(sceneFile, errorText);
  } catch (const std::exception& e) {
    logStream << "catch(std::exception& e) from LoadFromFile()" << std::endl;
    throw std::runtime_error(
        std::string("Caught an exception in GetCOREInterface()->LoadFromFile(): ") + e.what());
  } catch (const MAXException& e) {
    logStream << "catch(MAXException& e) from LoadFromFile()" << std::endl;
    throw std::runtime_error("Caught a MAXException in GetCOREInterface()->LoadFromFile(): " +
                             std::string(e.message.data()));
  } catch (...) {
    logStream << "catch(...) from LoadFromFile()" << std::endl;
    throw std::runtime_error("3ds max crashed in GetCOREInterface()->LoadFromFile(): " +
                             quoted(sceneFile));
  }
  if (!errorText.empty()) throw std::runtime_error(errorText + "\n" + lastFaultDescription);
  if (!loaded) {
    logStream << "LoadFromFile() returned failure" << std::endl;
    throw std::runtime_error("Failed to load max file: " + quoted(sceneFile));
  }
  logStream << "Successfully loaded the max file" << std::endl;
  logStream << "setting up default actions again, just to ensure they're set" << std::endl;
  applyDefaultActions();

  activeViewport = coreInterface->GetActiveViewport();
  logStream << "Got the active viewport: " << static_cast<const void*>(activeViewport) << std::endl;

  renderCameraNode = nullptr;
  if (!cameraName.empty()) {
    renderCameraNode = coreInterface->GetINodeByName(cameraName.c_str());
    if (!renderCameraNode) {
      throw std::runtime_error("Scene does not contain render camera " + quoted(cameraName));
    }
  }
  if (!renderCameraNode && isCameraView(activeViewport)) {
    renderCameraNode = activeViewport->GetViewCamera();
    if (!renderCameraNode) {
      logStream << "Viewport is of type camera, but it did not return a valid camera node"
                << std::endl;
    } else {
      logStream << "Rendering viewport with camera: " << renderCameraNode->GetName() << std::endl;
    }
  }

  if (Renderer* renderer = coreInterface->GetCurrentRenderer()) {
    const Class_ID rendererClass = renderer->ClassID();
    holderRenderer = rendererClass == holderRendererClassId;
    effectRenderer = rendererClass == effectRendererClassId;
  }

  // The reply to StartJob describes outputInfo: it must be this scene's output, not whatever an
  // earlier job's last frame left there.
  outputInfo = coreInterface->GetRendFileBI();
  prepareOutputInfo(outputInfo);

  jobRunning = true;
}

void RenderJob::applyDefaultActions() {
  for (const MissingDataAction& action : missingDataActions) {
    const bool ignore = this->*action.ignore;
    logStream << (ignore ? "Ignoring" : "Not ignoring") << " missing " << action.errors << " errors"
              << std::endl;
    setMissingDataIgnored(action.kind, ignore);
  }
}

void RenderJob::logDefaultActions() {
  logStream << "checking default actions" << std::endl;
  for (const MissingDataAction& action : missingDataActions) {
    logStream << "  " << action.hostName << " = "
              << (missingDataIgnored(action.kind) ? "IGNORE" : "FAIL") << std::endl;
  }
}

void RenderJob::openRenderer(int frame) {
  if (rendererOpen) return;
  // Nothing of an earlier scene's camera may be used by this one: the paths below that do not
  // set the multi-pass fields leave them off.
  multipassEnabled = false;
  multipassPassCount = 1;
  multipassEffect = nullptr;
  multipassHolderNode = nullptr;
  holderCameraObject = nullptr;
  cameraObject = nullptr;

  const RendType type = regionRendering ? RENDTYPE_REGIONCROP : RENDTYPE_NORMAL;
  logStream << "Setting up render parameters" << std::endl;
  coreInterface->SetupRendParams(renderParams, nullptr, type);

  const int width = coreInterface->GetRendWidth();
  const int height = coreInterface->GetRendHeight();
  std::string errorText;
  int opened = 0;
  if (!renderCameraNode) {
    logStream << "Rendering view at address " << static_cast<const void*>(activeViewport)
              << std::endl;
    logStream << "Opening renderer" << std::endl;
    opened = trappedOpenCurRenderer(nullptr, activeViewport, type, width, height, errorText);
  } else {
    logStream << "Rendering camera node " << renderCameraNode->GetName() << std::endl;
    const TimeValue t = frame * GetTicksPerFrame();
    logStream << "Checking multipass info for frame " << t / GetTicksPerFrame() << std::endl;
    cameraObject = renderCameraNode->EvalWorldState(t, TRUE).obj;

    if (holderRenderer && cameraObject && cameraObject->ClassID() == holderCameraClassId) {
      for (int i = 0; i < renderCameraNode->NumberOfChildren(); ++i) {
        INode* child = renderCameraNode->GetChildNode(i);
        if (child && std::string(child->GetName()) == "Multipass") multipassHolderNode = child;
      }
      if (multipassHolderNode) {
        logStream << "Multipass plugin holder camera node " << multipassHolderNode->GetName()
                  << std::endl;
        holderCameraObject = multipassHolderNode->EvalWorldState(t, TRUE).obj;
        multipassEnabled = multiPassEnabled(holderCameraObject, t);
        if (multipassEnabled) {
          multipassEffect = multiPassEffect(holderCameraObject);
          multipassPassCount = multipassEffect ? multipassEffect->TotalPasses(t) : 1;
        }
      }
    } else {
      multipassEnabled = multiPassEnabled(cameraObject, t);
      if (multipassEnabled) {
        multipassEffect = multiPassEffect(cameraObject);
        if (multipassEffect && multipassEffect->ClassID() == singlePassEffectClassId) {
          multipassPassCount = 1;
          if (!effectRenderer) multipassEnabled = false;
        } else if (multipassEffect) {
          multipassPassCount = multipassEffect->TotalPasses(t);
        }
      }
    }
    // A camera that reports its effect on but has none renders in one pass.
    if (!multipassEffect) multipassEnabled = false;

    logStream << "Opening renderer" << std::endl;
    opened = trappedOpenCurRenderer(renderCameraNode, nullptr, type, width, height, errorText);
  }

  if (!errorText.empty()) throw std::runtime_error(errorText + "\n" + lastFaultDescription);
  if (!opened) throw std::runtime_error("Failed to open the max renderer.");
  logStream << "Multipass enabled = " << (multipassEnabled ? 1 : 0) << std::endl;
  logStream << "Total passes = " << multipassPassCount << std::endl;
  rendererOpen = true;
}

}  // namespace moonstone
