// The worker's command line: the render and session subcommands, their options and help texts.
#pragma once

#include "controller/common/usage_error.h"
#include "controller/link/controller_link.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace worker {

/// How maxsim is started and what the worker answers to the plug-in's look-ups.
struct LaunchOptions {
  /// maxsim's path; empty: maxsim beside the worker's own executable.
  std::string maxsim;
  /// The plug-in folder handed to maxsim; empty: maxsim's default (plugins/ beside it).
  std::string pluginDir;
  /// The worker's working folder: drive folders and maxsim's output live here.
  std::string workDir = "foxglove-work";
  /// Drive letter (upper case) -> folder, from --drive and --drive-c.
  std::map<char, std::string> drives;
  /// Job and submission entries, submission lists and auxiliary files.
  controller::RequestAnswers answers;
  /// How long maxsim may take to connect, in seconds.
  double startupTimeout = 60;
};

/// Options of `foxglove-worker render`.
struct RenderOptions {
  LaunchOptions launch;
  std::string scene;
  std::string frameSpec;
  std::vector<int> frames;
  std::string camera;
  std::optional<std::string> output;
  std::optional<int> frameBase;
  std::optional<std::string> jpegFolder;
  std::optional<int> blackPercent;
  float blackThreshold = 0.1f;
  /// left, top, right, bottom
  std::optional<std::vector<int>> region;
  int padding = 0;
  /// columns, rows
  std::optional<std::pair<int, int>> tiles;
  bool restartRenderer = false;
  bool hideFrameBuffer = false;
  bool ignoreMissingExternalFiles = false;
  bool ignoreMissingUVWs = false;
  bool ignoreMissingDLLs = false;
  bool ignoreMissingXREFs = false;
  bool removePadding = false;
  bool alphaSplit = false;
  /// Seconds of silence from the plug-in during a command before maxsim is ended; 0: never.
  double stallTimeout = 300;
  /// Where to write the machine-readable summary of the run, if anywhere.
  std::optional<std::string> summaryJson;
  enum class Progress { Auto, Bar, Lines };
  Progress progress = Progress::Auto;
  bool help = false;
};

/// Options of `foxglove-worker session`.
struct SessionOptions {
  LaunchOptions launch;
  bool help = false;
};

/// Parses the arguments after "render". Throws controller::UsageError.
RenderOptions parseRenderOptions(const std::vector<std::string>& arguments);
/// Parses the arguments after "session". Throws controller::UsageError.
SessionOptions parseSessionOptions(const std::vector<std::string>& arguments);

/// Help texts: the program's, and each subcommand's with every option.
std::string mainUsage();
std::string renderUsage();
std::string sessionUsage();

}  // namespace worker
