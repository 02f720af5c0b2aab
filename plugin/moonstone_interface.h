// FoxgloveUtil: the script interface through which scripts start the daemon, talk to the
// controller, fail a render and drive the render engine by hand.
#pragma once

#include "tangram/max3d/fp_wrapper.h"

#include <max.h>
#include <maxscrpt/maxscrpt.h>

#include <maxscrpt/excepts.h>
#include <maxscrpt/streams.h>
#include <maxscrpt/strings.h>
#include <maxscrpt/numbers.h>
#include <maxscrpt/parser.h>
#include <maxscrpt/listener.h>

#include <string>

namespace moonstone {

/// The static core interface "FoxgloveUtil". Its constructor publishes the entries below in
/// this order (function IDs 0 to 14; CurrentFrame is a read-only property with getter ID 12).
/// While the daemon runs, the controller-facing functions go to the controller; otherwise they
/// answer locally (listener output, true, 0 or undefined).
class MoonstoneInterface
    : public tangram::FPWrapper::HVStaticInterface<MoonstoneInterface, FP_CORE> {
 public:
  MoonstoneInterface();

  bool Debug_StartJob(const std::string& fileName, const std::string& cameraName);
  bool Debug_EndJob();
  bool Debug_RenderFrame(int frameIndex);
  void SetTitle(const std::string& title);
  bool SetProgress(float percent);
  void FailRender(const std::string& message);
  Value* GetSubmitInfoEntry(const std::string& key);
  int GetSubmitInfoEntryElementCount(const std::string& key);
  Value* GetSubmitInfoEntryElement(int index, const std::string& key);
  Value* GetJobInfoEntry(const std::string& key);
  Value* GetAuxFilename(int index);
  Value* GetOutputFilename(int index);
  int CurrentFrame();
  void LogMessage(const std::string& message);
  bool RunMoonstoneDaemon(int portNumber, const std::string& token);
};

/// The interface's identity. Built where it is used: a namespace-scope Interface_ID would be
/// initialised at run time, and the global interface object that publishes it could be built
/// first and read zeros.
inline Interface_ID moonstoneInterfaceId() {
  return Interface_ID(0x83928748u, 0xA38F941Eu);
}

}  // namespace moonstone
