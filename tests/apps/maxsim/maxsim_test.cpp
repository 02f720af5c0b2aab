// maxsim: its command line, and loading real plug-in libraries through their entry points.
#include "apps/maxsim/options.h"

#include "support/process.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct MaxsimRun {
  int status;
  std::string output;  // standard output and standard error
};

/// Runs maxsim with the arguments and collects what it printed.
MaxsimRun runMaxsim(const std::vector<std::string>& arguments) {
  const ProcessResult result =
      runProcess(std::string(MOONSTONE_BIN_DIR) + "/maxsim" MOONSTONE_EXE_SUFFIX, arguments, "",
                 ErrorStream::intoOutput);
  return MaxsimRun{result.status, result.out};
}

std::string pluginFolder(const std::string& name) {
  return std::string(TEST_PLUGIN_ROOT) + "/" + name;
}

}  // namespace

TEST(MaxsimOptionsTest, ReadsFoldersScriptsInOrderAndQuiet) {
  // -silent as a farm node's 3ds Max takes it (and the Windows worker passes it): accepted.
  const Options options = parseOptions(
      {"-p", "a", "-mxs", "print 1", "-p", "b", "-silent", "-U", "maxscript", "start.ms", "-q"});
  EXPECT_EQ(options.pluginFolders, (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(options.scripts.size(), 2u);
  EXPECT_EQ(options.scripts[0].kind, StartupScript::Kind::Text);
  EXPECT_EQ(options.scripts[0].content, "print 1");
  EXPECT_EQ(options.scripts[1].kind, StartupScript::Kind::File);
  EXPECT_EQ(options.scripts[1].content, "start.ms");
  EXPECT_TRUE(options.quiet);
  EXPECT_FALSE(options.help);
}

TEST(MaxsimOptionsTest, NothingGivenMeansDefaults) {
  const Options options = parseOptions({});
  EXPECT_TRUE(options.pluginFolders.empty());
  EXPECT_TRUE(options.scripts.empty());
  EXPECT_FALSE(options.quiet);
}

TEST(MaxsimOptionsTest, RejectsUnknownOptionsAndMissingValues) {
  EXPECT_THROW(parseOptions({"-x"}), std::invalid_argument);
  EXPECT_THROW(parseOptions({"-U", "start.ms"}), std::invalid_argument);
  EXPECT_THROW(parseOptions({"-U", "Python", "start.py"}), std::invalid_argument);
  EXPECT_THROW(parseOptions({"-p"}), std::invalid_argument);
  EXPECT_THROW(parseOptions({"-q", "-mxs"}), std::invalid_argument);
  EXPECT_TRUE(parseOptions({"--help"}).help);
}

TEST(MaxsimTest, LoadsEveryPluginAndCallsItsThreeEntryPoints) {
  const MaxsimRun run = runMaxsim({"-p", pluginFolder("good")});
  EXPECT_EQ(run.status, 0) << run.output;
  for (const char* name : {"good", "second"}) {
    const std::string prefix = std::string(name) + ": ";
    const size_t version = run.output.find(prefix + "LibVersion");
    const size_t description = run.output.find(prefix + "LibDescription");
    const size_t init = run.output.find(prefix + "LibInit");
    ASSERT_NE(version, std::string::npos) << run.output;
    ASSERT_NE(description, std::string::npos) << run.output;
    ASSERT_NE(init, std::string::npos) << run.output;
    EXPECT_LT(version, init);
    EXPECT_LT(description, init);
    // LibInit reached the host's log through maxsim's own copy of the runtime.
    EXPECT_NE(run.output.find("maxsim: info: " + std::string(name) + ": initialised"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Test plug-in " + std::string(name)), std::string::npos);
  }
}

TEST(MaxsimTest, QuietOmitsTheLoadMessages) {
  const MaxsimRun run = runMaxsim({"-q", "-p", pluginFolder("good")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output.find("maxsim: loaded"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("good: LibInit"), std::string::npos);
}

TEST(MaxsimTest, RefusesPluginForAnotherSdk) {
  const MaxsimRun run = runMaxsim({"-p", pluginFolder("old")});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.output.find("version stamp 0x23281400, this host needs 0x23281500"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("old: LibInit"), std::string::npos);
}

TEST(MaxsimTest, RefusesPluginWithoutAnEntryPoint) {
  const MaxsimRun run = runMaxsim({"-p", pluginFolder("incomplete")});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.output.find("does not export LibInit"), std::string::npos) << run.output;
}

TEST(MaxsimTest, MissingPluginFolderIsAnError) {
  const MaxsimRun run = runMaxsim({"-p", pluginFolder("no-such-folder")});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.output.find("cannot read the plug-in folder"), std::string::npos) << run.output;
}

TEST(MaxsimTest, HelpDescribesTheCommandLine) {
  const MaxsimRun run = runMaxsim({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* option : {"-p DIR", "-U MAXScript FILE", "-mxs TEXT", "-q"}) {
    EXPECT_NE(run.output.find(option), std::string::npos) << option;
  }
}

TEST(MaxsimTest, BadCommandLineIsAnError) {
  const MaxsimRun run = runMaxsim({"-p"});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.output.find("-p needs a value"), std::string::npos) << run.output;
}
