// The bodies of the FoxgloveUtil script functions and the order in which they are published.
#include "plugin/moonstone_interface.h"

#include "log/log_stream.h"
#include "render/global_render_job.h"
#include "session/controller_requests.h"
#include "session/daemon.h"
#include "session/message_pump.h"
#include "tangram/max3d/maxscript/runtime_error.h"

#include <max.h>

#include <maxapi.h>
#include <windows.h>

#include <functional>
#include <stdexcept>

namespace moonstone {

namespace {

// Reports a job operation's standard error or trapped fault on the listener and in the log;
// true when the operation neither threw nor faulted.
bool debugOutcome(const std::function<void(std::string&)>& operation) {
  std::string errorText;
  try {
    operation(errorText);
  } catch (const std::exception& error) {
    mprintf("Exception: %s\n", error.what());
    logStream << error.what() << std::endl;
    return false;
  }
  if (!errorText.empty()) {
    mprintf("SEH Exception: %s\n", errorText.c_str());
    logStream << errorText << std::endl;
    return false;
  }
  return true;
}

// A text answer as a new String, or undefined when the entry does not exist (the String is then
// released to the collector).
Value* textOrUndefined(const std::function<std::string()>& lookUp) {
  try {
    return new String(lookUp().c_str());
  } catch (const std::invalid_argument&) {
    return &undefined;
  }
}

}  // namespace

MoonstoneInterface::MoonstoneInterface() {
  tangram::FPWrapper::HVCreateDescriptor<MoonstoneInterface> descriptor(
      this, moonstoneInterfaceId(), "FoxgloveUtil", nullptr);
  descriptor.add_function(&MoonstoneInterface::Debug_StartJob, "Debug_StartJob", "fileName",
                          "cameraName");
  descriptor.add_function(&MoonstoneInterface::Debug_EndJob, "Debug_EndJob");
  descriptor.add_function(&MoonstoneInterface::Debug_RenderFrame, "Debug_RenderFrame",
                          "frameIndex");
  descriptor.add_function(&MoonstoneInterface::SetTitle, "SetTitle", "title");
  descriptor.add_function(&MoonstoneInterface::SetProgress, "SetProgress", "percent");
  descriptor.add_function(&MoonstoneInterface::FailRender, "FailRender", "message");
  descriptor.add_function(&MoonstoneInterface::GetSubmitInfoEntry, "GetSubmitInfoEntry", "key");
  descriptor.add_function(&MoonstoneInterface::GetSubmitInfoEntryElementCount,
                          "GetSubmitInfoEntryElementCount", "key");
  descriptor.add_function(&MoonstoneInterface::GetSubmitInfoEntryElement,
                          "GetSubmitInfoEntryElement", "index", "key");
  descriptor.add_function(&MoonstoneInterface::GetJobInfoEntry, "GetJobInfoEntry", "key");
  descriptor.add_function(&MoonstoneInterface::GetAuxFilename, "GetAuxFilename", "index");
  descriptor.add_function(&MoonstoneInterface::GetOutputFilename, "GetOutputFilename", "index");
  descriptor.add_read_only_property(&MoonstoneInterface::CurrentFrame, "CurrentFrame");
  descriptor.add_function(&MoonstoneInterface::LogMessage, "LogMessage", "message");
  descriptor.add_function(&MoonstoneInterface::RunMoonstoneDaemon, "RunMoonstoneDaemon",
                          "portNumber", "token");
}

bool MoonstoneInterface::Debug_StartJob(const std::string& fileName,
                                        const std::string& cameraName) {
  return debugOutcome(
      [&](std::string& errorText) { renderJob.trappedStartJob(fileName, cameraName, errorText); });
}

bool MoonstoneInterface::Debug_EndJob() {
  return debugOutcome([](std::string& errorText) { renderJob.trappedEndJob(errorText); });
}

bool MoonstoneInterface::Debug_RenderFrame(int frameIndex) {
  unsigned short status = 1;
  const bool clean = debugOutcome([&](std::string& errorText) {
    // No controller here: the progress callback's requests fail on an unconnected socket.
    tangram::win32::simple_socket unconnected;
    status =
        renderJob.trappedRenderFrame(static_cast<unsigned>(frameIndex), unconnected, errorText);
  });
  return clean && status == 0;
}

void MoonstoneInterface::SetTitle(const std::string& title) {
  if (!daemonRunning) {
    mprintf("Title was set to \"%s\"\n", title.c_str());
    return;
  }
  pumpMessages();
  requestSetTitle(title);
}

bool MoonstoneInterface::SetProgress(float percent) {
  if (!daemonRunning) return true;
  pumpMessages();
  return requestProgress(percent);
}

void MoonstoneInterface::FailRender(const std::string& message) {
  pumpMessages();
  tangram::max3d::throw_runtime_error(message);
}

Value* MoonstoneInterface::GetSubmitInfoEntry(const std::string& key) {
  if (!daemonRunning) return &undefined;
  pumpMessages();
  return textOrUndefined([&] { return requestSubmitInfoEntry(key); });
}

int MoonstoneInterface::GetSubmitInfoEntryElementCount(const std::string& key) {
  if (!daemonRunning) return 0;
  pumpMessages();
  try {
    return requestSubmitInfoEntryElementCount(key);
  } catch (const std::invalid_argument&) {
    return 0;
  }
}

Value* MoonstoneInterface::GetSubmitInfoEntryElement(int index, const std::string& key) {
  if (!daemonRunning) return &undefined;
  pumpMessages();
  return textOrUndefined([&] { return requestSubmitInfoEntryElement(index, key); });
}

Value* MoonstoneInterface::GetJobInfoEntry(const std::string& key) {
  if (!daemonRunning) return &undefined;
  pumpMessages();
  return textOrUndefined([&] { return requestJobInfoEntry(key); });
}

Value* MoonstoneInterface::GetAuxFilename(int index) {
  if (!daemonRunning) return &undefined;
  pumpMessages();
  return textOrUndefined([&] { return requestAuxFilename(index); });
}

Value* MoonstoneInterface::GetOutputFilename(int index) {
  pumpMessages();
  return textOrUndefined([&] { return renderJob.writtenFile(index); });
}

int MoonstoneInterface::CurrentFrame() {
  if (!daemonRunning) return GetCOREInterface()->GetTime() / GetTicksPerFrame();
  pumpMessages();
  return renderJob.currentFrame;
}

void MoonstoneInterface::LogMessage(const std::string& message) {
  logStream << "Thread: " << GetCurrentThreadId() << std::endl;
  if (!daemonRunning) {
    mprintf("%s\n", message.c_str());
    return;
  }
  pumpMessages();
  requestLogMessage(message);
}

bool MoonstoneInterface::RunMoonstoneDaemon(int portNumber, const std::string& token) {
  return moonstone::RunMoonstoneDaemon(portNumber, token);
}

}  // namespace moonstone
