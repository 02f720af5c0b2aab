// The farm job's description: chunking, file names in the job folder, job.json in and out.
#include "controller/farm/farm_job.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>

namespace farm {

std::vector<std::vector<int>> chunkFrames(const std::vector<int>& frames, int size) {
  std::vector<std::vector<int>> chunks;
  for (size_t i = 0; i < frames.size(); i += static_cast<size_t>(size))
    chunks.emplace_back(frames.begin() + static_cast<long>(i),
                        frames.begin() + static_cast<long>(std::min(frames.size(), i + size)));
  return chunks;
}

std::string frameListText(const std::vector<int>& frames) {
  std::string text;
  for (int frame : frames) text += (text.empty() ? "" : ",") + std::to_string(frame);
  return text;
}

std::string tileDriveFolder(const std::string& directory, int task, const std::string& letter) {
  return taskFolder(directory, task) + "/drive_" + letter;
}

std::string jobFile(const std::string& directory) {
  return directory + "/job.json";
}

std::string taskFolder(const std::string& directory, int task) {
  return directory + "/tasks/" + std::to_string(task);
}

std::string attemptFile(const std::string& directory, int task, int attempt, const char* suffix) {
  return taskFolder(directory, task) + "/attempt-" + std::to_string(attempt) + suffix;
}

void saveJob(const FarmJob& job) {
  nlohmann::json submissions = nlohmann::json::array();
  for (const Submission& s : job.submissions)
    submissions.push_back({{"job_id", s.jobId}, {"attempt", s.attempt}, {"tasks", s.tasks}});
  const nlohmann::json document = {{"worker", job.worker},
                                   {"scene", job.scene},
                                   {"frames_spec", job.frameSpec},
                                   {"frames", job.frames},
                                   {"chunk", job.chunk},
                                   {"chunks", job.chunks},
                                   {"render_args", job.renderArgs},
                                   {"partition", job.partition},
                                   {"time", job.timeLimit},
                                   {"sbatch_args", job.sbatchArgs},
                                   {"submit_dir", job.submitDir},
                                   {"submissions", submissions},
                                   {"tiles", {job.tileColumns, job.tileRows}},
                                   {"size", {job.width, job.height}},
                                   {"drives", job.drives}};
  const std::string path = jobFile(job.directory);
  {
    std::ofstream out(path + ".tmp", std::ios::trunc);
    out << document.dump(2) << "\n";
    if (!out.flush()) throw JobFileError("cannot write " + path + ".tmp");
  }
  if (std::rename((path + ".tmp").c_str(), path.c_str()) != 0)
    throw JobFileError("cannot replace " + path);
}

FarmJob loadJob(const std::string& directory) {
  const std::string path = jobFile(directory);
  std::ifstream in(path);
  if (!in) throw JobFileError("no farm job in " + directory + " (cannot read " + path + ")");
  try {
    const nlohmann::json d = nlohmann::json::parse(in);
    FarmJob job;
    job.directory = directory;
    d.at("worker").get_to(job.worker);
    d.at("scene").get_to(job.scene);
    d.at("frames_spec").get_to(job.frameSpec);
    d.at("frames").get_to(job.frames);
    d.at("chunk").get_to(job.chunk);
    d.at("chunks").get_to(job.chunks);
    d.at("render_args").get_to(job.renderArgs);
    d.at("partition").get_to(job.partition);
    d.at("time").get_to(job.timeLimit);
    d.at("sbatch_args").get_to(job.sbatchArgs);
    d.at("submit_dir").get_to(job.submitDir);
    job.tileColumns = d.at("tiles").at(0);
    job.tileRows = d.at("tiles").at(1);
    job.width = d.at("size").at(0);
    job.height = d.at("size").at(1);
    d.at("drives").get_to(job.drives);
    for (const nlohmann::json& s : d.at("submissions"))
      job.submissions.push_back(
          {s.at("job_id").get<std::string>(), s.at("attempt").get<int>(), s.at("tasks")});
    return job;
  } catch (const nlohmann::json::exception& error) {
    throw JobFileError(path + ": " + error.what());
  }
}

}  // namespace farm
