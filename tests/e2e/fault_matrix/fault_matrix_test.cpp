// Processor faults injected into the host at the three places where the plug-in traps them: each
// is trapped, reported to the controller with the exception's name and report, and the same
// session renders a frame normally afterwards.
#include "e2e/fault_matrix/injected_faults.h"
#include "support/declined_faults.h"
#include "support/maxsim_session.h"
#include "support/wine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

// Test names show the fault kind (found by argument lookup, beside the types).
void PrintTo(const InjectedFault& fault, std::ostream* out) {
  *out << fault.kind;
}

void PrintTo(const HostEndingFault& fault, std::ostream* out) {
  *out << fault.kind;
}

namespace {

namespace fs = std::filesystem;
using controller::Transcript;

std::string sceneWithFault(const std::string& output, const std::string& kind,
                           const std::string& place) {
  return R"({"format": "moonstone-scene",
      "render": {"width": 32, "height": 24, "output": ")" +
         output + R"("},
      "faults": [{"kind": ")" +
         kind + R"(", "at": ")" + place + R"(", "frame": 1}]})";
}

class FaultMatrix : public MaxsimSession, public ::testing::WithParamInterface<InjectedFault> {
 protected:
  void SetUp() override {
    if (GetParam().wineEndsTheProcess && runningUnderWine()) {
      GTEST_SKIP() << "Wine ends the process on a " << GetParam().kind
                   << " inside a guard; only real Windows shows the trap";
    }
  }

  /// Starts a job on a scene that injects this test's fault at `place`.
  std::string faultyScene(const std::string& place) {
    return scene("faulty.max", sceneWithFault("R:\\\\faulty\\\\f.tga", GetParam().kind, place));
  }
  std::string healthyScene() {
    return scene("healthy.max", R"({"format": "moonstone-scene",
        "render": {"width": 32, "height": 24, "output": "R:\\healthy\\h.tga"}})");
  }

  /// The reply of a trap in `operation`: its text with the exception's name, a line feed, and
  /// the fault report naming the exception code.
  void expectTrapped(const std::string& reply, const std::string& operation) const {
    const InjectedFault& fault = GetParam();
    const std::string trapText =
        "ERROR: Trapped SEH Exception in " + operation + "(): " + fault.name + "\nProcess:  ";
    EXPECT_EQ(reply.rfind(trapText, 0), 0u) << reply;
    EXPECT_NE(reply.find("\nException Code:  " + std::string(fault.code) + "\n"), std::string::npos)
        << reply;
    EXPECT_NE(reply.find("\nCall Stack:"), std::string::npos) << reply;
  }

  /// Sends a RenderTask; returns its replies without the requests made on the way.
  Transcript render(int frame) {
    Transcript replies;
    for (const std::string& packet :
         controller.command("RenderTask," + std::to_string(frame), waitMs)) {
      if (!controller::isRequest(packet)) replies.push_back(packet);
    }
    return replies;
  }

  /// The session ended by the controller's hang-up, and maxsim exited cleanly (an instrumented
  /// build also finds nothing leaked by the abandoned frames).
  static void expectServedToTheEnd(const ProcessResult& ended) {
    EXPECT_EQ(ended.status, 0) << ended.err;
    EXPECT_EQ(ended.out, "true\n");
  }

  bool rendered(const std::string& relative) const { return fs::exists(output.path() / relative); }
};

class FaultInTheRenderer : public FaultMatrix {};
class FaultInSceneLoading : public FaultMatrix {};
class FaultInEndJob : public FaultMatrix {};

TEST_P(FaultInTheRenderer, FailsThatFrameAndTheNextFrameRenders) {
  connect();
  ASSERT_EQ(startJobOn(faultyScene("render")).size(), 1u);
  const Transcript crashed = render(1);
  ASSERT_EQ(crashed.size(), 3u);
  EXPECT_EQ(crashed[0], "STARTED");
  expectTrapped(crashed[1], "CurRendererRenderFrame");
  EXPECT_EQ(crashed[2], "ERROR: Failed to save file.");
  EXPECT_FALSE(rendered("faulty/f0001.tga"));

  EXPECT_EQ(render(2), (Transcript{"STARTED", "SUCCESS"}));
  EXPECT_TRUE(rendered("faulty/f0002.tga"));
  expectServedToTheEnd(finish());
}

// A job whose scene failed to load is not running, so no frame of it can follow; the same
// session loads another scene and renders its frame.
TEST_P(FaultInSceneLoading, FailsTheStartAndTheSessionStartsAnotherJob) {
  connect();
  const Transcript failed = startJobOn(faultyScene("load"));
  ASSERT_EQ(failed.size(), 2u);
  expectTrapped(failed[0], "LoadFromFile");
  EXPECT_EQ(failed[1].rfind("SUCCESS [filename] ", 0), 0u);
  EXPECT_EQ(render(1), Transcript{"ERROR: RenderTask: Called without being in a job."});

  EXPECT_EQ(startJobOn(healthyScene()).size(), 1u);
  EXPECT_EQ(render(1), (Transcript{"STARTED", "SUCCESS"}));
  EXPECT_TRUE(rendered("healthy/h0001.tga"));
  expectServedToTheEnd(finish());
}

// A renderer that faults while closing stays open and its job keeps running: the job renders
// its next frame, and a second EndJob closes the renderer and ends the job.
TEST_P(FaultInEndJob, FailsTheEndAndTheJobRendersOn) {
  connect();
  startJobOn(faultyScene("close_renderer"));
  ASSERT_EQ(render(1), (Transcript{"STARTED", "SUCCESS"}));
  const Transcript failed = controller.command("EndJob", waitMs);
  ASSERT_EQ(failed.size(), 2u);
  expectTrapped(failed[0], "CloseCurRenderer");
  EXPECT_EQ(failed[1], "SUCCESS");

  EXPECT_EQ(render(2), (Transcript{"STARTED", "SUCCESS"}));
  EXPECT_TRUE(rendered("faulty/f0002.tga"));
  EXPECT_EQ(controller.command("EndJob", waitMs), Transcript{"SUCCESS"});
  EXPECT_EQ(startJobOn(healthyScene()).size(), 1u);
  expectServedToTheEnd(finish());
}

template <typename Fault>
std::string faultName(const ::testing::TestParamInfo<Fault>& info) {
  return info.param.kind;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultInTheRenderer, ::testing::ValuesIn(trappedFaults()),
                         faultName<InjectedFault>);
INSTANTIATE_TEST_SUITE_P(Faults, FaultInSceneLoading, ::testing::ValuesIn(trappedFaults()),
                         faultName<InjectedFault>);
INSTANTIATE_TEST_SUITE_P(Faults, FaultInEndJob, ::testing::ValuesIn(trappedFaults()),
                         faultName<InjectedFault>);

// The faults that the plug-in's filter declines on purpose are not trapped: the host process
// dies of them with nothing sent.
class DeclinedFault : public MaxsimSession,
                      public ::testing::WithParamInterface<HostEndingFault> {};

TEST_P(DeclinedFault, InTheRendererEndsTheHost) {
  letDeclinedFaultsEndTheHost();
  connect();
  startJobOn(scene("declined.max", sceneWithFault("R:\\\\d\\\\d.tga", GetParam().kind, "render")));
  EXPECT_THROW(controller.command("RenderTask,1", waitMs),
               tangram::win32::simple_socket_disconnect_error);
  const ProcessResult ended = waitForExit();
  EXPECT_EQ(ended.status, GetParam().status)
      << "(under Wine: when the prefix names a debugger for crashed programs, the debugger takes "
         "the crash; scripts/test-windows.sh names none)";
  EXPECT_EQ(ended.out, "");
  EXPECT_EQ(logText().find("Returning TRUE"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Faults, DeclinedFault, ::testing::ValuesIn(hostEndingFaults()),
                         faultName<HostEndingFault>);

}  // namespace
