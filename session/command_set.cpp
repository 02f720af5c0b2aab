// The command words, their argument checks and replies, and the render, start, end, region and
// script sequences.

// Boost comes before every header that brings in the SDK, whose base_type macro breaks it.
#include <boost/lexical_cast.hpp>

#include "session/command_set.h"

#include "host/frame_time.h"
#include "log/log_stream.h"
#include "render/output_writing.h"
#include "render/region.h"
#include "session/command_line.h"
#include "tangram/max3d/maxscript/scoped_maxscript_frame.h"
#include "tangram/max3d/maxscript/script_evaluation.h"
#include "tangram/max3d/maxscript/script_text.h"

#include <max.h>
#include <maxscrpt/maxscrpt.h>

#include <maxapi.h>
#include <maxscrpt/excepts.h>
#include <maxscrpt/streams.h>
#include <maxscrpt/strings.h>
#include <maxscrpt/numbers.h>
#include <maxscrpt/parser.h>
#include <maxscrpt/listener.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <type_traits>
#include <vector>

namespace moonstone {

namespace {

using tangram::win32::simple_socket;
using Arguments = std::vector<std::string>;

// Pause after an error reply of a job operation, so that the controller reads it apart from the
// final reply.
const DWORD errorPauseMs = 500;

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// Whole-field conversion, as the controller's numbers must be. "nan" reads as a float but is
// no value: it compares false with everything, so a NaN threshold would count no pixel as black.
template <typename Number>
bool convert(const std::string& field, Number& value) {
  Number read;
  try {
    read = boost::lexical_cast<Number>(field);
  } catch (const boost::bad_lexical_cast&) {
    return false;
  }
  if constexpr (std::is_floating_point_v<Number>) {
    if (std::isnan(read)) return false;
  }
  value = read;
  return true;
}

std::string countText(size_t count) {
  return std::to_string(count);
}

// One command: the job, its arguments, and the socket its replies go to.
struct Command {
  RenderJob& job;
  const Arguments& arguments;
  simple_socket& socket;

  void reply(const std::string& text) const { socket.send(text); }
  void replyFault(const std::string& errorText) const {
    reply("ERROR: " + errorText + "\n" + job.lastFaultDescription);
  }
};

void renderTask(const Command& command) {
  const Arguments& arguments = command.arguments;
  if (arguments.size() != 1) {
    command.reply("ERROR: RenderTask: Expected 1 parameter, got " + countText(arguments.size()));
    return;
  }
  int frame;
  if (!convert(arguments[0], frame)) {
    command.reply("ERROR: RenderTask: Parameter 1 , " + quoted(arguments[0]) +
                  ", is not a valid frame number.");
    return;
  }
  RenderJob& job = command.job;
  job.currentFrame = frame;
  if (!job.jobRunning) {
    command.reply("ERROR: RenderTask: Called without being in a job.");
    return;
  }
  command.reply("STARTED");

  unsigned short status = 1;
  std::string errorText;
  try {
    status =
        job.trappedRenderFrame(static_cast<unsigned>(job.currentFrame), command.socket, errorText);
  } catch (const std::exception& error) {
    command.reply(std::string("ERROR: ") + error.what());
    Sleep(errorPauseMs);
  }
  if (!errorText.empty()) {
    command.replyFault(errorText);
    Sleep(errorPauseMs);
  }
  command.reply(status == 0 ? "SUCCESS" : "ERROR: Failed to save file.");
}

// Runs StartJob or EndJob through its trapped call and answers its standard error or trapped
// fault; the caller sends the final reply in any case.
void replyJobOperationErrors(const Command& command,
                             const std::function<void(std::string&)>& operation) {
  std::string errorText;
  try {
    operation(errorText);
  } catch (const std::exception& error) {
    logStream << "Sending error" << std::endl;
    command.reply(std::string("ERROR: ") + error.what());
  }
  if (!errorText.empty()) {
    logStream << "Sending error" << std::endl;
    command.replyFault(errorText);
  }
}

void startJob(const Command& command) {
  const Arguments& arguments = command.arguments;
  if (arguments.size() != 2) {
    command.reply("ERROR: StartJob: Expected 2 parameters, got " + countText(arguments.size()));
    return;
  }
  replyJobOperationErrors(command, [&](std::string& errorText) {
    command.job.trappedStartJob(arguments[0], arguments[1], errorText);
  });
  logStream << "Sending success" << std::endl;
  command.reply("SUCCESS " + DescribeOutput(command.job));
}

void endJob(const Command& command) {
  replyJobOperationErrors(command,
                          [&](std::string& errorText) { command.job.trappedEndJob(errorText); });
  command.reply("SUCCESS");
}

void frameNumberBase(const Command& command) {
  const Arguments& arguments = command.arguments;
  if (arguments.size() != 1) {
    command.reply("ERROR: FrameNumberBase: Expected 1 parameter, got " +
                  countText(arguments.size()));
    return;
  }
  int base;
  if (!convert(arguments[0], base)) {
    command.reply("ERROR: FrameNumberBase: Parameter 1, " + quoted(arguments[0]) +
                  ", is not a valid value for frame number base.");
    return;
  }
  command.job.frameNumberBase = base;
}

void regionRendering(const Command& command) {
  const Arguments& arguments = command.arguments;
  if (arguments.size() != 5) {
    command.reply("ERROR: RegionRendering: Expected 5 parameters, got " +
                  countText(arguments.size()));
    return;
  }
  RenderJob& job = command.job;
  job.regionRendering = true;
  // Each number is converted just before its step, so the steps of the numbers before a bad
  // one stay in force.
  struct Step {
    const char* name;
    void (*apply)(RenderJob&, int);
  };
  const Step steps[] = {{"Padding", setRegionPadding},
                        {"Left", setRegionLeft},
                        {"Top", setRegionTop},
                        {"Right", setRegionRight},
                        {"Bottom", setRegionBottom}};
  for (size_t k = 0; k < 5; ++k) {
    int value;
    if (!convert(arguments[k], value)) {
      command.reply("ERROR: RegionRendering: Parameter " + std::to_string(k + 1) + ", " +
                    quoted(arguments[k]) + ", is not a valid value for " + steps[k].name + ".");
      return;
    }
    steps[k].apply(job, value);
  }
}

void useJpegOutput(const Command& command) {
  const Arguments& arguments = command.arguments;
  RenderJob& job = command.job;
  if (arguments.size() == 1) {
    job.useJpegOutput = true;
    job.jpegOutputPath = arguments[0];
    return;
  }
  logStream << "UseJpegOutput: requires 1 parameters, got " << arguments.size()
            << ", setting to false" << std::endl;
  job.useJpegOutput = false;
}

void failOnBlackFrames(const Command& command) {
  const Arguments& arguments = command.arguments;
  RenderJob& job = command.job;
  if (arguments.size() != 2) {
    logStream << "FailOnBlackFrames: requires 2 parameters, got " << arguments.size()
              << ", setting to false" << std::endl;
    job.failOnBlackFrames = false;
    return;
  }
  job.failOnBlackFrames = true;
  int percentage;
  if (convert(arguments[0], percentage)) {
    job.blackPixelPercentage = std::clamp(percentage, 0, 100);
  } else {
    logStream << "FailOnBlackFrames: Parameter 1, " << quoted(arguments[0])
              << ", is not a valid percentage." << std::endl;
  }
  float threshold;
  if (convert(arguments[1], threshold)) {
    job.blackPixelThreshold = std::clamp(threshold, 0.0f, 1.0f);
  } else {
    logStream << "FailOnBlackFrames: Parameter 2, " << quoted(arguments[1])
              << ", is not a valid threshold." << std::endl;
  }
}

// The frame argument of the two script commands; false (after the reply) when it is not one.
bool scriptFrame(const Command& command, const char* name, int& frame) {
  const Arguments& arguments = command.arguments;
  if (arguments.size() < 2) {
    command.reply(std::string("ERROR: ") + name + ": Expected 2 parameters, got " +
                  countText(arguments.size()));
    return false;
  }
  if (!convert(arguments[0], frame)) {
    // Both script commands name ExecuteScript here, as the controller has always seen it.
    command.reply("ERROR: ExecuteScript: Parameter 1 , " + quoted(arguments[0]) +
                  ", is not a valid frame number.");
    return false;
  }
  command.job.currentFrame = frame;
  command.reply("STARTED");
  return true;
}

void executeScript(const Command& command) {
  int frame;
  if (!scriptFrame(command, "ExecuteScript", frame)) return;
  const Arguments& arguments = command.arguments;
  if (arguments.size() >= 3 && arguments[2] == "setTime") {
    Interface* core = GetCOREInterface();
    core->SetTime(frameTime(frame), TRUE);
    logStream << "Set Time to " << frame << std::endl;
    logStream << "GetTime(): " << core->GetTime() << std::endl;
  }
  const std::string& file = arguments[1];
  tangram::max3d::scoped_maxscript_frame frameGuard;
  one_value_local(result);
  logStream << "Executing script " << file << std::endl;
  vl.result = tangram::max3d::run_script_file(file);
  logStream << "Done Executing script " << file << std::endl;
  if (vl.result == &true_value || vl.result == &ok) {
    command.reply("SUCCESS");
  } else {
    command.reply("ERROR: Script did not return success: " +
                  tangram::max3d::value_to_text(vl.result));
  }
  pop_value_locals();
}

void executeStringScript(const Command& command) {
  int frame;
  if (!scriptFrame(command, "ExecuteStringScript", frame)) return;
  tangram::max3d::scoped_maxscript_frame frameGuard;
  one_value_local(result);
  logStream << "Executing script... " << std::endl;
  vl.result = tangram::max3d::evaluate_script_text(command.arguments[1]);
  logStream << "... Done Executing script " << std::endl;
  if (is_string(vl.result)) {
    command.reply(std::string("SUCCESS: ") + vl.result->to_string());
  } else {
    command.reply("ERROR: Script did not return a string: " +
                  tangram::max3d::value_to_text(vl.result));
  }
  pop_value_locals();
}

void outputImageFilename(const Command& command) {
  const Arguments& arguments = command.arguments;
  RenderJob& job = command.job;
  logStream << "Setting output image filename" << std::endl;
  if (arguments.size() == 1) {
    job.useOutputImageFilename = true;
    job.outputImageFilename = arguments[0];
    logStream << "Saving output to " << job.outputImageFilename << std::endl;
    return;
  }
  logStream << "OutputImageFilename: requires 1 parameters, got " << arguments.size()
            << ", setting to false" << std::endl;
  job.useOutputImageFilename = false;
}

// A flag that a command switches on whatever its arguments.
std::function<void(const Command&)> setFlag(bool RenderJob::*flag, bool value) {
  return [flag, value](const Command& command) { command.job.*flag = value; };
}

const std::map<std::string, std::function<void(const Command&)>>& commandTable() {
  static const std::map<std::string, std::function<void(const Command&)>> table = {
      {"RenderTask", renderTask},
      {"StartJob", startJob},
      {"EndJob", endJob},
      {"FrameNumberBase", frameNumberBase},
      {"RegionRendering", regionRendering},
      {"UseJpegOutput", useJpegOutput},
      {"FailOnBlackFrames", failOnBlackFrames},
      {"ExecuteScript", executeScript},
      {"ExecuteStringScript", executeStringScript},
      {"OutputImageFilename", outputImageFilename},
      {"RestartRendererMode", setFlag(&RenderJob::restartRenderer, true)},
      {"HideFrameBuffer", setFlag(&RenderJob::showFrameBuffer, false)},
      {"IgnoreMissingExternalFiles", setFlag(&RenderJob::ignoreMissingExternalFiles, true)},
      {"IgnoreMissingUVWs", setFlag(&RenderJob::ignoreMissingUVWs, true)},
      {"IgnoreMissingDLLs", setFlag(&RenderJob::ignoreMissingDLLs, true)},
      {"IgnoreMissingXREFs", setFlag(&RenderJob::ignoreMissingXREFs, true)},
      {"RemovePadding", setFlag(&RenderJob::removePadding, true)},
      {"AlphaSplit", setFlag(&RenderJob::alphaSplit, true)},
      {"CONTINUE",
       [](const Command&) { logStream << "Warning: ignoring CONTINUE statement" << std::endl; }},
  };
  return table;
}

}  // namespace

void dispatchCommand(RenderJob& job, const std::string& line, simple_socket& socket) {
  const std::vector<std::string> fields = splitCommandLine(line);
  logStream << "Command: " << line << std::endl;
  for (const std::string& field : fields) logStream << field << std::endl;
  logStream << std::endl;

  // An empty line has no command word; it is answered like any unknown word (an empty one).
  const std::string word = fields.empty() ? std::string() : fields[0];
  const auto found = commandTable().find(word);
  if (found == commandTable().end()) {
    socket.send("ERROR: Unexpected command " + quoted(word) + " received.");
    return;
  }
  const Arguments arguments(fields.empty() ? fields.begin() : fields.begin() + 1, fields.end());
  found->second(Command{job, arguments, socket});
}

}  // namespace moonstone
