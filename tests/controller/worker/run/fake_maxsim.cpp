// Test program standing in for maxsim with the plug-in: it reads the port and token from the
// start-up script (-mxs TEXT, or -U MAXScript FILE as the worker starts 3ds Max on Windows),
// connects, and answers commands the way the plug-in does, misbehaving as FAKE_MAXSIM_MODE asks
// ("good", "wrong-token", "bad-version", "stall", "crash", "bad-scene": StartJob refused,
// "chatty": a long render that sends many progress packets, "intruder": first plays a stranger
// that connects with a wrong token and records whether it was greeted). FAKE_MAXSIM_FILES lists
// the files (';'-separated) that GetOutputFilename reports after every frame; FAKE_MAXSIM_RECORD
// names a file that receives every command line, one per line.
#include "tangram/win32/simple_socket.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::vector<std::string> files() {
  std::vector<std::string> list;
  std::istringstream in(environment("FAKE_MAXSIM_FILES"));
  std::string item;
  while (std::getline(in, item, ';')) {
    if (!item.empty()) list.push_back(item);
  }
  return list;
}

void render(tangram::win32::simple_socket& socket, const std::string& mode) {
  socket.send("STARTED");
  socket.send("FUNCTION: SETTITLE Rendering Image - 50.0%");
  socket.send("FUNCTION: PROGRESS 50");
  if (socket.receive(1000) != "CONTINUE") {
    socket.send("ERROR: the controller did not answer CONTINUE");
    socket.send("ERROR: Failed to save file.");
    return;
  }
  if (mode == "chatty") {
    // Paced, so that the worker waits for each packet as it would for a real renderer's.
    for (int i = 0; i < 40; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      socket.send("FUNCTION: PROGRESS 50");
      socket.receive(1000);
    }
  }
  socket.send("FUNCTION: STDOUT: hello from the scene");
  socket.send("FUNCTION: GETJOBINFOENTRY Shot");
  socket.send("FUNCTION: STDOUT: shot is " + socket.receive(1000));
  if (mode == "stall") {
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  if (mode == "crash") std::_Exit(3);
  socket.send("SUCCESS");
}

}  // namespace

int main(int argc, char** argv) {
  std::string script;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "-mxs") script = argv[i + 1];
    if (std::string(argv[i]) == "-U" && i + 2 < argc && std::string(argv[i + 1]) == "MAXScript") {
      std::ifstream file(argv[i + 2]);
      std::getline(file, script);
    }
  }
  std::smatch match;
  if (!std::regex_search(script, match,
                         std::regex("RunMoonstoneDaemon ([0-9]+) \"([0-9a-f]+)\""))) {
    return 2;
  }
  const std::string mode = environment("FAKE_MAXSIM_MODE");
  std::ofstream record(environment("FAKE_MAXSIM_RECORD"), std::ios::app);
  if (mode == "intruder") {
    tangram::win32::simple_socket intruder("127.0.0.1", std::stoi(match[1]));
    intruder.send("not-the-token");
    try {
      const std::string greeting = intruder.receive(5000);
      record << "intruder greeted: " << greeting << std::endl;
    } catch (const tangram::win32::simple_socket_disconnect_error&) {
      record << "intruder cut off" << std::endl;
    } catch (const tangram::win32::simple_socket_error& error) {
      record << "intruder: " << error.what() << std::endl;
    }
  }
  tangram::win32::simple_socket socket("127.0.0.1", std::stoi(match[1]));
  socket.send(mode == "wrong-token" ? "not-the-token" : match[2].str());
  try {
    if (socket.receive(1000) != "FoxgloveStartup") return 4;
  } catch (const tangram::win32::simple_socket_error&) {
    return 4;
  }
  socket.send(
      mode == "bad-version"
          ? "Moonstone 1.0 Oct 29 2007 07:17:24 R   Incompatible plugin versions detected, exiting."
          : "Moonstone 2.7.29981 Oct 29 2007 07:17:24 R");
  try {
    for (;;) {
      const std::string line = socket.receive(-1);
      record << line << std::endl;
      const std::string word = line.substr(0, line.find(','));
      if (word == "StartJob" && mode == "bad-scene") {
        socket.send("ERROR: Invalid max file: scene.max");
      }
      if (word == "StartJob") {
        socket.send(
            "SUCCESS [filename] R:\\out\\shot.tga\n[format] Targa Image File\n"
            "[size] 4x2\n[aspect] 1\n");
      } else if (word == "RenderTask") {
        render(socket, mode);
      } else if (word == "EndJob") {
        socket.send("SUCCESS");
      } else if (word == "ExecuteStringScript") {
        socket.send("STARTED");
        const size_t index = std::stoul(line.substr(line.rfind(' ') + 1));
        const std::vector<std::string> written = files();
        socket.send(index < written.size() ? "SUCCESS: " + written[index]
                                           : "ERROR: Script did not return a string: undefined");
      }
    }
  } catch (const tangram::win32::simple_socket_disconnect_error&) {
    return 0;
  }
}
