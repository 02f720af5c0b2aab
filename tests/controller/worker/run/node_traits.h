// Test helpers for the render run: what a render node does differently on each platform, as the
// session tests see it (drive letters, the plug-in log's place, how an ended maxsim looks).
#pragma once

#include "controller/worker/run/options.h"

#include <filesystem>
#include <string>

/// Makes `folder` the place where the fake maxsim's files are and returns the plug-in's name for
/// it, ending in a backslash: drive R: mapped to it on POSIX; its own name on Windows, where
/// drive letters are the system's.
std::string pluginNameOf(const std::filesystem::path& folder, worker::LaunchOptions& launch);

/// Where the plug-in's log is for a worker with this work folder.
std::filesystem::path pluginLogFor(const std::filesystem::path& workDir);

/// The status of a maxsim that the worker ended after its grace time.
int statusOfAnEndedMaxsim();

/// The system's reason why a program file that does not exist cannot start.
std::string missingProgramReason();
