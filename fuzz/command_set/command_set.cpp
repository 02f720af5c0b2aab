// Fuzz target: the command set fed arbitrary command lines (one per input line) with the render
// engine against the stand-in host and a loopback connection as the controller. Every drive and
// the working folder lie in a sandbox folder of the run's own, with two small scenes and two
// script files in it; a fresh host and job state serve each input. As inside a real session, the
// plug-in's end is the global socket and the daemon counts as running, so that scripts' calls to
// the plug-in's script functions go to the controller (and a nested daemon is refused).
#include "render/render_progress_callback.h"
#include "session/command_line.h"
#include "session/command_set.h"
#include "session/daemon.h"
#include "session/global_socket.h"
#include "support/temp_folder.h"

#include <maxsim_state.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

// The pause after an error reply gives a real controller time to read it; this controller is the
// harness itself, which reads every reply when the command returns. The pause would make inputs
// that fail a frame hundreds of times slower than the rest.
void WINAPI Sleep(DWORD) {}

namespace {

using namespace moonstone;
using tangram::win32::simple_socket;
using tangram::win32::simple_socket_error;
using tangram::win32::simple_socket_timeout_error;

const int connectTimeoutMs = 10000;
// Answers queued before a command that may make requests (a frame's progress, a script's calls),
// so that none waits for its answer's timeout; what is left is read off afterwards.
const int queuedAnswers = 8;

const char* const smallScene = R"({
  "format": "moonstone-scene",
  "render": {"width": 8, "height": 6, "output": "C:\\renders\\shot.png"},
  "image": {"background": [0.1, 0.2, 0.3, 1],
            "shapes": [{"type": "disc", "color": [1, 0, 0, 1], "radius": 0.3,
                        "keys": [{"frame": 0, "x": 0.2, "y": 0.5}, {"frame": 4, "x": 0.8, "y": 0.5}]}],
            "blackout": [{"first": 6, "last": 7}]},
  "nodes": [{"name": "Camera01", "camera": {}}, {"name": "Box01", "object": {}}],
  "viewport": {"camera": "Camera01"}
})";

const char* const layeredScene = R"({
  "format": "moonstone-scene",
  "render": {"width": 6, "height": 4, "output": "C:\\renders\\layers.tga", "alpha_split": true},
  "image": {"background": [0, 0, 0, 0],
            "shapes": [{"type": "box", "color": [0, 1, 0, 1], "keys": [{"x": 0.5, "y": 0.5}]}]},
  "nodes": [{"name": "Camera01", "camera": {"multipass": {"passes": 2, "time_spread": 10}}}],
  "viewport": {"camera": "Camera01"},
  "render_elements": {"elements": [{"name": "Alpha", "kind": "alpha",
                                    "output": "C:\\renders\\elements\\alpha.png"}]},
  "references": [{"kind": "external_file", "name": "maps\\missing.png"}]
})";

// The sandbox: drives A to Z, HOME and the working folder, all below one temporary folder.
class Sandbox {
 public:
  Sandbox() {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const std::filesystem::path drive = root_ / (std::string("drive_") + letter);
      std::filesystem::create_directories(drive);
      setenv((std::string("MAXSIM_DRIVE_") + letter).c_str(), drive.c_str(), 1);
    }
    setenv("HOME", root_.c_str(), 1);
    std::filesystem::create_directories(root_ / "work");
    std::filesystem::current_path(root_ / "work");
    std::filesystem::create_directories(root_ / "drive_C/Foxglove/logs");
    write("drive_C/scenes/shot.max", smallScene);
    write("drive_C/scenes/layers.max", layeredScene);
    write("drive_C/scripts/ok.ms", "x = 1\nx == 1\n");
    write("drive_C/scripts/text.ms", "\"abc\"\n");
  }
  // Leaves the working folder before the folder goes.
  ~Sandbox() {
    std::error_code ignored;
    std::filesystem::current_path(root_.parent_path(), ignored);
  }

 private:
  void write(const std::string& relative, const std::string& text) const {
    const std::filesystem::path file = root_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }

  TempFolder folder_;
  const std::filesystem::path& root_ = folder_.path();
};

// The controller's end and the plug-in's end of one loopback connection, kept for the whole run.
struct Connection {
  simple_socket controller;
  simple_socket& plugin = globalSocket;

  Connection() {
    controller.start_listen(0, true);
    plugin.connect("127.0.0.1", controller.listening_port());
    controller.wait_for_connect(connectTimeoutMs, true);
  }

  /// Queues the answers in one write: the accepting end's send buffer is shrunk to a byte, so
  /// that packet by packet each write would wait for the one before to be acknowledged.
  void queueAnswers() {
    static const std::string answer = std::string("\0\0\0\x08", 4) + "CONTINUE";
    std::string answers;
    for (int i = 0; i < queuedAnswers; ++i) answers += answer;
    controller.send_raw(answers);
  }

  /// Reads whatever is left at both ends, so that the next input starts on an empty line.
  void drain() {
    drainEnd(controller);
    drainEnd(plugin);
  }

 private:
  static void drainEnd(simple_socket& end) {
    try {
      for (;;) end.receive(0);
    } catch (const simple_socket_timeout_error&) {
    }
  }
};

// A line naming a place outside the sandbox (an absolute POSIX name, or one that climbs with
// "..") is not served: commands read and write the files they name.
bool staysInSandbox(const std::string& line) {
  std::vector<std::string> fields;
  try {
    fields = splitCommandLine(line);
  } catch (const std::runtime_error&) {
    return true;  // refused before any field is used
  }
  for (const std::string& field : fields) {
    if (field.find("..") != std::string::npos) return false;
    if (!field.empty() && (field[0] == '/' || field[0] == '\\')) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static Sandbox sandbox;
  daemonRunning = true;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Connection connection;
  standin::reset_host();
  MoonstoneRenderCallback::resetThrottle();
  {
    RenderJob job;  // truncates the log, so it does not grow over the run
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= input.size()) {
      const size_t end = std::min(input.find('\n', start), input.size());
      const std::string line = input.substr(start, end - start);
      start = end + 1;
      if (!staysInSandbox(line)) continue;
      if (line.rfind("RenderTask", 0) == 0 || line.rfind("Execute", 0) == 0) {
        connection.queueAnswers();
      }
      try {
        dispatchCommand(job, line, connection.plugin);
      } catch (const std::exception&) {
        // What the session would end on (a bad escape, a script's error): reported, not fatal.
      }
      connection.drain();
      if (!connection.plugin.is_connected()) std::abort();
    }
  }
  standin::reset_host();
  return 0;
}
