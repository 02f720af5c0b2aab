// Parsing `foxglove-worker farm` command lines.
#include "controller/farm/farm_options.h"

#include "controller/common/argument_reader.h"
#include "controller/worker/run/options.h"

#include <cstdio>
#include <set>

namespace farm {
namespace {

using controller::ArgumentReader;
using controller::UsageError;

double seconds(const std::string& name, const std::string& text) {
  try {
    size_t used = 0;
    const double value = std::stod(text, &used);
    if (used == text.size() && value >= 0) return value;
  } catch (const std::exception&) {
  }
  throw UsageError(name + " needs a number of seconds, got: " + text);
}

}  // namespace

SubmitOptions parseSubmitOptions(const std::vector<std::string>& arguments) {
  // Set by the farm for each task: a value given here would be overridden or clash.
  static const std::set<std::string> perTask = {"--work-dir", "--summary-json", "--progress", "-h",
                                                "--help"};
  SubmitOptions options;
  ArgumentReader reader(arguments);
  while (reader.next()) {
    const std::string name = reader.name();
    if (name == "--frames") {
      options.frameSpec = reader.value();
    } else if (name == "--chunk") {
      const std::string text = reader.value();
      try {
        size_t used = 0;
        options.chunk = std::stoi(text, &used);
        if (used != text.size() || options.chunk < 1) throw UsageError("");
      } catch (const std::exception&) {
        throw UsageError("--chunk needs a whole number of frames, at least 1, got: " + text);
      }
    } else if (name == "--tiles") {
      const std::string text = reader.value();
      char extra = 0;
      if (std::sscanf(text.c_str(), "%dx%d%c", &options.tileColumns, &options.tileRows, &extra) !=
              2 ||
          options.tileColumns < 1 || options.tileRows < 1)
        throw UsageError("--tiles needs COLUMNSxROWS with both at least 1, got: " + text);
    } else if (name == "--partition") {
      options.partition = reader.value();
    } else if (name == "--time") {
      options.timeLimit = reader.value();
    } else if (name == "--sbatch-arg") {
      options.sbatchArgs.push_back(reader.anyValue());
    } else if (name == "--job-dir") {
      options.jobDir = reader.value();
    } else if (perTask.count(name)) {
      throw UsageError(name + " is set by the farm for each task");
    } else if (name.rfind("-", 0) == 0) {
      options.renderArgs.push_back(reader.raw());
    } else if (options.scene.empty()) {
      options.scene = name;
    } else {
      // A value of a render option ("--camera Camera01").
      options.renderArgs.push_back(reader.raw());
    }
  }
  if (options.scene.empty()) throw UsageError("no scene given");
  if (options.frameSpec.empty()) throw UsageError("--frames is required");
  if (options.jobDir.empty()) throw UsageError("--job-dir is required");
  if (options.tileColumns > 0) {
    // A tile task renders one region at the tile's exact size, which stitching relies on.
    for (const std::string& argument : options.renderArgs)
      for (const char* excluded : {"--region", "--padding"})
        if (argument == excluded || argument.rfind(std::string(excluded) + "=", 0) == 0)
          throw UsageError(std::string(excluded) + " cannot be combined with the farm's --tiles");
  }
  std::vector<std::string> render = {options.scene, "--frames", options.frameSpec};
  render.insert(render.end(), options.renderArgs.begin(), options.renderArgs.end());
  worker::parseRenderOptions(render);
  return options;
}

JobOptions parseJobOptions(const std::string& command, const std::vector<std::string>& arguments) {
  JobOptions options;
  ArgumentReader reader(arguments);
  while (reader.next()) {
    const std::string& name = reader.name();
    if (command == "wait" && name == "--timeout") {
      options.timeout = seconds(name, reader.value());
    } else if (command == "wait" && name == "--poll") {
      options.poll = seconds(name, reader.value());
    } else if (command == "report" && name == "--json") {
      options.json = reader.value();
    } else if (name.rfind("-", 0) == 0 || !options.jobDir.empty()) {
      throw UsageError("unknown option " + name);
    } else {
      options.jobDir = name;
    }
  }
  if (options.jobDir.empty()) throw UsageError("no job folder given");
  return options;
}

std::string farmUsage() {
  return "usage: foxglove-worker farm COMMAND ...\n"
         "Spreads a render over a Slurm cluster: one array task per chunk of frames, each\n"
         "running `foxglove-worker render` on its frames (see docs/farm.md).\n"
         "\n"
         "  farm submit SCENE --frames SPEC --job-dir DIR [--chunk N | --tiles CxR]\n"
         "              [--partition P] [--time T] [--sbatch-arg ARG]... [render options]\n"
         "      writes the job folder and submits one array job; prints its Slurm job id.\n"
         "      --chunk N       frames per task (default 10)\n"
         "      --tiles CxR     one task per tile of every frame (C columns, R rows), then a\n"
         "                      task that stitches the frames (after the tiles, afterok); the\n"
         "                      output drives must be given with --drive\n"
         "      --partition P   Slurm partition\n"
         "      --time T        Slurm time limit per task (minute resolution, e.g. 30 or 1:00:00)\n"
         "      --sbatch-arg A  one more argument for sbatch (repeatable)\n"
         "      every other option goes to each task's `foxglove-worker render` (not\n"
         "      --work-dir, --summary-json or --progress: the farm sets them per task).\n"
         "  farm status DIR   every task and frame: pending, running (progress), done, failed\n"
         "  farm wait DIR [--timeout S] [--poll S]\n"
         "      waits for the job's end; exits with the job's code (0 all done, 1 frames\n"
         "      failed, 2 usage, 3 bad job, 4 bad node or lost task, 5 stopped), or 6 when\n"
         "      the timeout passed first.\n"
         "  farm report DIR [--json FILE]   the job's summary, as a table and as JSON\n"
         "  farm retry DIR    resubmits the unfinished frames of failed or lost tasks (not\n"
         "      of tasks that ended with 2 or 3); prints the new Slurm job id.\n";
}

}  // namespace farm
