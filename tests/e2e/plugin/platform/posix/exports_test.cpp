// The plug-in's shared object exports its library entry points and nothing else, as its dynamic
// symbol table shows. (scripts/test-windows.sh checks the Windows module's export table.)
#include "support/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(PluginLibraryTest, ExportsOnlyItsEntryPoints) {
  const ProcessResult run =
      runProcess("/usr/bin/nm", {"-D", "--defined-only", "--demangle",
                                 std::string(MOONSTONE_BIN_DIR) + "/plugins/moonstone.dlx"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> names;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    names.push_back(line.substr(line.find(' ', line.find(' ') + 1) + 1));  // after address, kind
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"LibDescription()", "LibInit()", "LibVersion()"}));
}

}  // namespace
