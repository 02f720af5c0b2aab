// Parsing the worker's command line and its help texts.
#include "controller/worker/run/options.h"

#include "controller/common/argument_reader.h"
#include "controller/common/frame_spec.h"

#include <boost/lexical_cast.hpp>

#include <cctype>
#include <cmath>
#include <limits>

namespace worker {

namespace {

using controller::ArgumentReader;

std::pair<std::string, std::string> keyValue(const std::string& option, const std::string& text) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) {
    throw controller::UsageError(option + " needs KEY=VALUE, got: " + text);
  }
  return {text.substr(0, equals), text.substr(equals + 1)};
}

/// "A,B,C,D" as integers.
std::vector<int> integerList(const std::string& option, const std::string& text, size_t count) {
  std::vector<int> numbers;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma - start);
    try {
      numbers.push_back(boost::lexical_cast<int>(item));
    } catch (const boost::bad_lexical_cast&) {
      throw controller::UsageError(option + ": not a number: " + item);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (numbers.size() != count) {
    throw controller::UsageError(option + " needs " + std::to_string(count) +
                                 " numbers separated by commas");
  }
  return numbers;
}

std::pair<int, int> tileGrid(const std::string& text) {
  const size_t x = text.find_first_of("xX");
  try {
    if (x == std::string::npos) throw boost::bad_lexical_cast();
    const int columns = boost::lexical_cast<int>(text.substr(0, x));
    const int rows = boost::lexical_cast<int>(text.substr(x + 1));
    if (columns < 1 || rows < 1) throw boost::bad_lexical_cast();
    return {columns, rows};
  } catch (const boost::bad_lexical_cast&) {
    throw controller::UsageError("--tiles needs COLUMNSxROWS with both at least 1, got: " + text);
  }
}

/// Takes the option if it is one of the launch options; false otherwise.
bool launchOption(ArgumentReader& reader, LaunchOptions& launch) {
  const std::string& name = reader.name();
  if (name == "--maxsim" || name == "--max") {
    launch.maxsim = reader.value();
  } else if (name == "--plugin-dir") {
    launch.pluginDir = reader.value();
  } else if (name == "--work-dir") {
    launch.workDir = reader.value();
  } else if (name == "--drive-c") {
    launch.drives['C'] = reader.value();
  } else if (name == "--drive") {
    const auto [letter, folder] = keyValue(name, reader.value());
    if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0]))) {
      throw controller::UsageError("--drive needs a drive letter before '=', got: " + letter);
    }
    launch.drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])))] = folder;
  } else if (name == "--job-info") {
    const auto [key, value] = keyValue(name, reader.value());
    launch.answers.jobInfo[key] = value;
  } else if (name == "--submit-info") {
    const auto [key, value] = keyValue(name, reader.value());
    launch.answers.submitInfo[key] = value;
  } else if (name == "--submit-element") {
    const auto [key, value] = keyValue(name, reader.value());
    launch.answers.submitElements[key].push_back(value);
  } else if (name == "--aux") {
    launch.answers.auxFiles.push_back(reader.value());
  } else if (name == "--startup-timeout") {
    launch.startupTimeout = reader.number<double>(1);
  } else {
    return false;
  }
  return true;
}

const char* const launchHelp =
    "Starting maxsim:\n"
    "  --maxsim PATH          the maxsim to run (default: maxsim beside foxglove-worker)\n"
    "  --max PATH             the same: the program to run, 3ds Max on a Windows node\n"
    "  --plugin-dir DIR       the plug-in folder for maxsim (default: maxsim's plugins/)\n"
    "  --work-dir DIR         the working folder (default: foxglove-work); it holds\n"
    "                         logs/ (each session's maxsim output and plug-in log)\n"
    "                         and the drive folders\n"
    "  --drive-c DIR          the folder of drive C: (default: WORK-DIR/drive_c); the\n"
    "                         plug-in's log is C:\\Foxglove\\logs\\3zerorEzuridu.log there\n"
    "  --drive X=DIR          the folder of drive X: (repeatable). A drive that is neither\n"
    "                         given here nor mapped by MAXSIM_DRIVE_X in the environment is\n"
    "                         WORK-DIR/drive_x\n"
    "  --startup-timeout S    seconds maxsim may take to connect (default 60)\n"
    "\n"
    "Answers to the plug-in's look-ups (scene scripts ask for them):\n"
    "  --job-info KEY=VALUE       a job information entry (repeatable)\n"
    "  --submit-info KEY=VALUE    a submission information entry (repeatable)\n"
    "  --submit-element KEY=VALUE appends VALUE to the submission list KEY (repeatable)\n"
    "  --aux FILE                 the next auxiliary file, from index 0 (repeatable)\n";

const char* const exitStatusHelp =
    "Exit status:\n"
    "  0  every frame rendered and its files verified\n"
    "  1  some frames failed; the job is sound: retry the failed frames\n"
    "  2  usage error: do not retry\n"
    "  3  the job is bad (scene missing or unloadable, refused by the plug-in, tiles\n"
    "     larger than the image, a frame error that repeats on every try such as a\n"
    "     camera that is no camera): retry nowhere\n"
    "  4  this node is bad (maxsim missing or not starting, work folder not writable\n"
    "     or in use by another worker, its disk or the worker's output full): retry on\n"
    "     another node\n"
    "  5  stopped by SIGTERM, SIGINT or SIGHUP: retry the frames not rendered\n"
    "\n";

/// Takes the option if it is one of render's options with a value; false otherwise.
bool renderValueOption(ArgumentReader& reader, RenderOptions& options, bool& framesGiven) {
  const std::string& name = reader.name();
  if (name == "--frames") {
    options.frameSpec = reader.value();
    try {
      options.frames = controller::parseFrameSpec(options.frameSpec);
    } catch (const controller::FrameSpecError& error) {
      throw controller::UsageError(error.what());
    }
    framesGiven = true;
  } else if (name == "--camera") {
    options.camera = reader.value();
  } else if (name == "--output") {
    options.output = reader.value();
  } else if (name == "--frame-base") {
    options.frameBase = reader.number<int>(std::numeric_limits<int>::lowest());
  } else if (name == "--jpeg-previews") {
    options.jpegFolder = reader.value();
  } else if (name == "--fail-on-black") {
    options.blackPercent = reader.number<int>(0, 100);
  } else if (name == "--black-threshold") {
    options.blackThreshold = reader.number<float>(0.0f, 1.0f);
  } else if (name == "--region") {
    const std::string text = reader.value();
    options.region = integerList(name, text, 4);
    const std::vector<int>& r = *options.region;
    // Checked here, before any maxsim starts: an empty or negative rectangle renders nothing.
    if (r[0] < 0 || r[1] < 0 || r[2] <= r[0] || r[3] <= r[1]) {
      throw controller::UsageError("--region needs 0 <= L < R and 0 <= T < B, got: " + text);
    }
  } else if (name == "--summary-json") {
    options.summaryJson = reader.value();
  } else if (name == "--padding") {
    options.padding = reader.number<int>(0);
  } else if (name == "--tiles") {
    options.tiles = tileGrid(reader.value());
  } else if (name == "--stall-timeout") {
    options.stallTimeout = reader.number<double>(0);
  } else if (name == "--progress") {
    const std::string mode = reader.value();
    if (mode == "auto") {
      options.progress = RenderOptions::Progress::Auto;
    } else if (mode == "bar") {
      options.progress = RenderOptions::Progress::Bar;
    } else if (mode == "lines") {
      options.progress = RenderOptions::Progress::Lines;
    } else {
      throw controller::UsageError("--progress needs auto, bar or lines, got: " + mode);
    }
  } else {
    return false;
  }
  return true;
}

/// Takes render's flags (options without a value); throws for an unknown option.
void renderFlag(ArgumentReader& reader, RenderOptions& options) {
  const std::string& name = reader.name();
  static const std::map<std::string, bool RenderOptions::*> flags = {
      {"--restart-renderer", &RenderOptions::restartRenderer},
      {"--hide-frame-buffer", &RenderOptions::hideFrameBuffer},
      {"--ignore-missing-external-files", &RenderOptions::ignoreMissingExternalFiles},
      {"--ignore-missing-uvws", &RenderOptions::ignoreMissingUVWs},
      {"--ignore-missing-dlls", &RenderOptions::ignoreMissingDLLs},
      {"--ignore-missing-xrefs", &RenderOptions::ignoreMissingXREFs},
      {"--remove-padding", &RenderOptions::removePadding},
      {"--alpha-split", &RenderOptions::alphaSplit}};
  const auto flag = flags.find(name);
  if (flag == flags.end()) throw controller::UsageError("unknown option " + name);
  reader.noValue();
  options.*(flag->second) = true;
}

}  // namespace

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments) {
  RenderOptions options;
  ArgumentReader reader(arguments);
  bool framesGiven = false;
  while (reader.next()) {
    const std::string& name = reader.name();
    if (!reader.isOption()) {
      if (!options.scene.empty()) throw controller::UsageError("more than one scene: " + name);
      options.scene = name;
    } else if (name == "-h" || name == "--help") {
      options.help = true;
    } else if (renderValueOption(reader, options, framesGiven)) {
    } else if (launchOption(reader, options.launch)) {
    } else {
      renderFlag(reader, options);
    }
  }
  if (options.help) return options;
  if (options.scene.empty()) throw controller::UsageError("no scene file given");
  if (!framesGiven) throw controller::UsageError("no frames given (--frames SPEC)");
  if (options.region && options.tiles)
    throw controller::UsageError("--region and --tiles exclude each other");
  return options;
}

SessionOptions parseSessionOptions(const std::vector<std::string>& arguments) {
  SessionOptions options;
  ArgumentReader reader(arguments);
  while (reader.next()) {
    if (reader.name() == "-h" || reader.name() == "--help") {
      options.help = true;
    } else if (!launchOption(reader, options.launch)) {
      throw controller::UsageError("unknown option " + reader.name());
    }
  }
  return options;
}

std::string mainUsage() {
  return "usage: foxglove-worker render SCENE --frames SPEC [options]\n"
         "       foxglove-worker session [options]\n"
         "       foxglove-worker farm COMMAND ... (jobs spread over Slurm)\n"
         "       foxglove-worker (render|session|farm) --help\n"
         "       foxglove-worker --version\n"
         "\n"
         "Renders a scene's frames through maxsim and the Moonstone plug-in (render), or\n"
         "talks to the plug-in line by line (session), or spreads a render over a Slurm\n"
         "cluster (farm).\n";
}

std::string renderUsage() {
  return std::string(
             "usage: foxglove-worker render SCENE --frames SPEC [options]\n"
             "\n"
             "Starts maxsim, has it run the Moonstone daemon, renders the frames of SCENE one\n"
             "RenderTask at a time, checks every file written by decoding it, and prints a\n"
             "summary. Exit status 0 only when every frame succeeded; 1 when a frame or the\n"
             "session failed; 2 for a bad command line.\n"
             "\n"
             "Frames:\n"
             "  --frames SPEC          frames as farms write them: 1-10, 1,3,7, 1-100x10 (every\n"
             "                         10th), 10-1 (descending), combined with commas\n"
             "\n"
             "Rendering (each maps onto a plug-in command):\n"
             "  --camera NAME          render through this camera (default: the scene's view)\n"
             "  --output FILE          output file name instead of the scene's (a Windows path\n"
             "                         as the plug-in sees it, e.g. R:\\out\\shot.tga)\n"
             "  --frame-base N         add N to the frame number in file names\n"
             "  --jpeg-previews DIR    also write a JPEG preview of each frame into DIR (a\n"
             "                         Windows path; a trailing backslash is added if missing)\n"
             "  --fail-on-black P      fail a frame when P percent or more of it is black\n"
             "  --black-threshold T    a pixel is black when its colour is at most T (0..1,\n"
             "                         default 0.1); with --fail-on-black\n"
             "  --region L,T,R,B       render only this rectangle (pixels, right and bottom\n"
             "                         exclusive), widened by --padding\n"
             "  --padding N            padding in pixels around a region or each tile\n"
             "  --restart-renderer     close and reopen the renderer for every frame\n"
             "  --hide-frame-buffer    do not show the frame buffer while rendering\n"
             "  --ignore-missing-external-files, --ignore-missing-uvws,\n"
             "  --ignore-missing-dlls, --ignore-missing-xrefs\n"
             "                         load the scene even when such items are missing\n"
             "  --remove-padding       do not number the output file names\n"
             "  --alpha-split          require the alpha file (A_ + name) beside each image\n"
             "\n"
             "Tiles:\n"
             "  --tiles COLSxROWS      render every frame as COLS x ROWS regions (with\n"
             "                         --padding) and stitch them into the frame's images; the\n"
             "                         tile images stay beside them, named tile_C_R_ + name\n"
             "\n"
             "Watching:\n"
             "  --stall-timeout S      end maxsim and fail the frame when the plug-in sends\n"
             "                         nothing for S seconds during a command (default 300;\n"
             "                         0: never)\n"
             "  --progress MODE        auto (a live bar on a terminal, lines otherwise), bar or\n"
             "                         lines (the stable line format of docs/worker.md); the\n"
             "                         bar is coloured unless NO_COLOR is set, TERM=dumb gets\n"
             "                         lines\n"
             "  --summary-json FILE    write the run's summary as JSON to FILE at its end\n"
             "\n") +
         exitStatusHelp + launchHelp;
}

std::string sessionUsage() {
  return std::string(
             "usage: foxglove-worker session [options]\n"
             "\n"
             "Starts maxsim the same way as render, then sends each line read from standard\n"
             "input as one command and prints every packet: \">> \" before what is sent, \"<< \"\n"
             "before what is received. Requests are answered as render answers them (PROGRESS\n"
             "with CONTINUE, look-ups from the options below). The next line is sent only when\n"
             "the previous command's last reply has come. At the end of input the worker hangs\n"
             "up and waits for maxsim to exit.\n"
             "\n") +
         launchHelp;
}

}  // namespace worker
