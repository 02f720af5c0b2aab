// A farm job's description as stored in its folder (job.json): what to render, how it is cut
// into tasks, and every submission to Slurm.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace farm {

/// One sbatch call: an array job over some of the job's tasks. Attempt 0 is the first
/// submission; each `farm retry` adds the next attempt.
struct Submission {
  std::string jobId;
  int attempt = 0;
  std::vector<int> tasks;
};

/// The job: the scene and frames, the tasks' frames, the options every task's render gets, and
/// the submissions so far. Paths are absolute.
struct FarmJob {
  std::string directory;
  std::string worker;
  std::string scene;
  std::string frameSpec;
  std::vector<int> frames;
  int chunk = 1;
  /// The frames of each task (task i renders chunks[i]).
  std::vector<std::vector<int>> chunks;
  /// Options given to every task's `foxglove-worker render`, after the scene and frames.
  std::vector<std::string> renderArgs;
  std::string partition;
  std::string timeLimit;
  std::vector<std::string> sbatchArgs;
  /// The folder the job was submitted from: tasks start there, so relative paths keep meaning.
  std::string submitDir;
  std::vector<Submission> submissions;

  /// A tiled job: tasks 0..columns*rows-1 render one tile of every frame each, into drive
  /// folders of their own; the last task stitches every frame's tiles into the real drives.
  int tileColumns = 0;
  int tileRows = 0;
  /// The scene's render size, which the tiles cover.
  int width = 0;
  int height = 0;
  /// The output drives as given (letter -> folder); tile tasks map them to their own folders.
  std::map<std::string, std::string> drives;

  bool tiled() const { return tileColumns > 0; }
  /// The stitching task of a tiled job (after the tile tasks).
  int stitchTask() const { return tileColumns * tileRows; }
};

/// A job folder that cannot be read or a description that does not parse.
class JobFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Cuts the frames, in order, into consecutive chunks of `size` frames (the last may be short).
std::vector<std::vector<int>> chunkFrames(const std::vector<int>& frames, int size);

/// The frames as a --frames text the worker reads back to the same list ("1,2,7").
std::string frameListText(const std::vector<int>& frames);

/// A tile task's folder for the drive letter: the task's images land there before stitching.
std::string tileDriveFolder(const std::string& directory, int task, const std::string& letter);

/// The job folder's description file and its per-task folders.
std::string jobFile(const std::string& directory);
std::string taskFolder(const std::string& directory, int task);
/// A task's files of one attempt: the frames it renders, its summary, its console log.
std::string attemptFile(const std::string& directory, int task, int attempt, const char* suffix);

/// Writes job.json atomically (a .tmp file renamed over it). Throws JobFileError.
void saveJob(const FarmJob& job);
/// Reads DIR/job.json. Throws JobFileError naming the file and the problem.
FarmJob loadJob(const std::string& directory);

}  // namespace farm
