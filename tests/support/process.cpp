// Test helper: runs a program with its input, output and error passed through temporary files.
#include "support/process.h"

#include "support/child_process.h"
#include "support/temp_folder.h"

#include <fstream>
#include <sstream>

namespace {
std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, ErrorStream errorStream) {
  TempFolder folder;
  const std::string inPath = (folder.path() / "in").string();
  std::ofstream(inPath, std::ios::binary) << input;
  const std::string outPath = (folder.path() / "out").string();
  const std::string errPath =
      errorStream == ErrorStream::separate ? (folder.path() / "err").string() : "";
  ProcessResult result;
  result.status = runChild(program, args, inPath, outPath, errPath);
  result.out = readFile(outPath);
  if (!errPath.empty()) result.err = readFile(errPath);
  return result;
}
