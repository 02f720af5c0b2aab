// The one job state of the render engine: settings, host objects taken for the job, renderer and
// output state, and the job operations StartJob, RenderFrame and EndJob with their trapped calls.
#pragma once

#include "render/bitmap_holder.h"
#include "render/fault_filter.h"
#include "tangram/win32/simple_socket.h"

#include <max.h>

#include <bmmlib.h>
#include <object.h>
#include <inode.h>
#include <maxapi.h>
#include <render.h>
#include <renderelements.h>
#include <iparamb2.h>
#include <pbbitmap.h>
#include <windows.h>

#include <string>
#include <vector>

namespace moonstone {

/// Everything the plug-in knows about the current render job. One process-wide instance (a
/// global object of the plug-in) used from the host's main thread only. Host pointers are
/// borrowed; the bitmaps created for a frame are deleted by that frame. Failures are thrown as
/// std::runtime_error with the exact message; faults inside the trapped host calls become error
/// texts (see the trapped* operations).
class RenderJob {
 public:
  /// Sets the defaults and opens the log stream on its fixed path.
  RenderJob();
  ~RenderJob();
  RenderJob(const RenderJob&) = delete;
  RenderJob& operator=(const RenderJob&) = delete;

  // Job settings (written by the controller's option commands; see StartJob for resets).
  bool jobRunning = false;
  bool restartRenderer = false;
  bool rendererOpen = false;
  int frameNumberBase = 0;
  bool showFrameBuffer = false;
  bool removePadding = false;
  bool alphaSplit = false;
  bool useOutputImageFilename = false;
  std::string outputImageFilename;
  bool ignoreMissingExternalFiles = false;
  bool ignoreMissingUVWs = false;
  bool ignoreMissingDLLs = false;
  bool ignoreMissingXREFs = false;
  bool failOnBlackFrames = false;
  int blackPixelPercentage = 0;
  float blackPixelThreshold = 0.0f;
  bool useJpegOutput = false;
  std::string jpegOutputPath;
  bool regionRendering = false;
  /// The padded region clipped to the image (right and bottom exclusive), as the renderer takes it.
  RECT regionRect = {0, 0, 0, 0};
  int regionPadding = 0;
  /// Per side, how far the padded region reached past the image (0 when it did not).
  RECT regionClip = {0, 0, 0, 0};

  // Host objects taken for the job.
  ViewExp* activeViewport = nullptr;
  RendParams renderParams;
  int currentFrame = 0;
  Interface* coreInterface = nullptr;
  Interface8* coreInterface8 = nullptr;

  // Output of the frame.
  BitmapInfo outputInfo;
  std::string outputBaseName;
  /// The image files written for the last rendered frame, in the order written.
  std::vector<std::string> writtenFiles;
  /// The frame's main bitmap and, in a multi-pass render, the bitmap each pass renders into.
  /// Held by the job rather than on the stack, so that they are released also when a trapped
  /// fault abandoned the frame without running its destructors.
  BitmapHolder frameBitmap;
  BitmapHolder passBitmap;
  /// True from the moment a frame names its outputs until endFrame() has undone what it held.
  bool frameInProgress = false;

  // Multi-pass and camera state.
  bool multipassEnabled = false;
  int multipassPassCount = 0;
  IMultiPassCameraEffect* multipassEffect = nullptr;
  INode* renderCameraNode = nullptr;
  Object* cameraObject = nullptr;
  INode* multipassHolderNode = nullptr;
  Object* holderCameraObject = nullptr;
  bool holderRenderer = false;
  bool effectRenderer = false;

  // Render elements, same index in every list.
  int renderElementCount = 0;
  std::vector<IRenderElement*> renderElements;
  std::vector<PBBitmap*> elementBitmaps;
  std::vector<BitmapHolder> elementAccumulators;
  /// Each element's file name before numbering, kept when the elements are taken, so that every
  /// frame numbers its element files from the same name.
  std::vector<std::string> elementBaseNames;

  /// The report of the last exception that reached the fault filter ("No message" at first).
  std::string lastFaultDescription = "No message";

  /// The fault filter of this job's guards: it keeps every report in lastFaultDescription.
  FaultFilter faultFilter() { return FaultFilter(lastFaultDescription); }

  /// Starts a job: resets the per-job settings, loads the scene, chooses camera or viewport and
  /// classifies the renderer. Throws std::runtime_error with the exact message on failure.
  void StartJob(const std::string& sceneFile, const std::string& cameraName);
  /// Sets the host's default action for the four kinds of missing data from the four flags.
  void applyDefaultActions();
  /// Logs the host's four default actions.
  void logDefaultActions();
  /// Opens the renderer for the frame (camera or viewport path, multi-pass fields) unless open.
  void openRenderer(int frame);
  /// Renders one frame and writes its outputs; 0 when rendered or skipped. Throws on failure.
  unsigned short RenderFrame(unsigned frame, tangram::win32::simple_socket& socket);
  /// Deletes every element bitmap and accumulator of the frame and forgets them.
  void releaseElementBitmaps();
  /// Ends the frame in hand however it was left: deletes its bitmaps (main, pass, element
  /// bitmaps, accumulators) and gives the output and element descriptions their unnumbered names
  /// back. Does nothing when no frame is in progress. Runs when a frame returns or throws, when
  /// a trap abandoned it, and before the next frame starts.
  void endFrame();
  /// Type, flags, size and aspect of an output BitmapInfo for the current render settings.
  void prepareOutputInfo(BitmapInfo& info);
  /// Closes the renderer when it is open. Throws the trapped call's text on a fault.
  void closeRenderer();
  /// Ends the job: closes the renderer, releases the viewport, clears jobRunning.
  void EndJob();
  /// Entry `index` of writtenFiles. Throws std::invalid_argument
  /// "Output file requested doesn't exist" for an index out of range.
  std::string writtenFile(int index) const;

  // The three job operations as the command set calls them: errorText is emptied, and set to
  // "Trapped SEH Exception in <Operation>(): " + the code's name when a fault is trapped.
  // Thrown exceptions pass through.
  void trappedStartJob(const std::string& sceneFile, const std::string& cameraName,
                       std::string& errorText);
  /// The status of RenderFrame, or 1 when a fault was trapped.
  unsigned short trappedRenderFrame(unsigned frame, tangram::win32::simple_socket& socket,
                                    std::string& errorText);
  void trappedEndJob(std::string& errorText);

  // The host calls that may crash the host, trapped the same way (fault result 0).
  bool trappedLoadFromFile(const std::string& sceneFile, std::string& errorText);
  int trappedOpenCurRenderer(INode* camera, ViewExp* view, RendType type, int width, int height,
                             std::string& errorText);
  int trappedCurRendererRenderFrame(TimeValue time, Bitmap* bitmap, RendProgressCallback* progress,
                                    ViewParams* view, RECT* region, std::string& errorText);
  void trappedCloseCurRenderer(std::string& errorText);
};

}  // namespace moonstone
