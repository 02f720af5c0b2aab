// Test helper: foxglove-worker as a child process, its input and output through files.
#include "worker_process.h"

#include "support/temp_folder.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

WorkerRun runWorker(const std::vector<std::string>& arguments, const std::string& input) {
  TempFolder folder;
  const std::string inPath = (folder.path() / "in").string();
  const std::string outPath = (folder.path() / "out").string();
  std::ofstream(inPath) << input;
  const std::string program = std::string(MOONSTONE_BIN_DIR) + "/foxglove-worker";
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  WorkerRun run;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    run.status = WEXITSTATUS(status);
  }
  std::ifstream in(outPath);
  std::stringstream text;
  text << in.rdbuf();
  run.out = text.str();
  return run;
}
