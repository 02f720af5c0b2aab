// EndJob and closeRenderer against the stand-in host, including a renderer whose close faults.
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <stdexcept>

using nlohmann::json;

namespace {

using namespace moonstone;

__attribute__((noinline, no_sanitize("address", "undefined"))) void writeThroughNull() {
  volatile int* volatile target = nullptr;
  *target = 1;
}

/// The host's core interface, except that closing the renderer crashes.
class CrashingCloseCore : public Interface8 {
 public:
  INode* GetINodeByName(const MCHAR* name) override { return host->GetINodeByName(name); }
  INode* GetRootNode() override { return host->GetRootNode(); }
  ViewExp* GetActiveViewport() override { return host->GetActiveViewport(); }
  void ReleaseViewport(ViewExp* viewport) override { host->ReleaseViewport(viewport); }
  void ForceCompleteRedraw(BOOL doDisabled) override { host->ForceCompleteRedraw(doDisabled); }
  TimeValue GetTime() override { return host->GetTime(); }
  void SetTime(TimeValue t, BOOL redraw) override { host->SetTime(t, redraw); }
  int GetRendWidth() override { return host->GetRendWidth(); }
  int GetRendHeight() override { return host->GetRendHeight(); }
  float GetRendApect() override { return host->GetRendApect(); }
  BitmapInfo& GetRendFileBI() override { return host->GetRendFileBI(); }
  BOOL GetRendSaveFile() override { return host->GetRendSaveFile(); }
  BOOL GetSkipRenderedFrames() override { return host->GetSkipRenderedFrames(); }
  IRenderElementMgr* GetCurRenderElementMgr() override { return host->GetCurRenderElementMgr(); }
  Renderer* GetCurrentRenderer() override { return host->GetCurrentRenderer(); }
  void SetupRendParams(RendParams& rp, ViewExp* vpt, RendType t) override {
    host->SetupRendParams(rp, vpt, t);
  }
  int OpenCurRenderer(INode* camNode, ViewExp* view, RendType t, int w, int h) override {
    return host->OpenCurRenderer(camNode, view, t, w, h);
  }
  int CurRendererRenderFrame(TimeValue t, Bitmap* bm, RendProgressCallback* prog, float frameDur,
                             ViewParams* vp, RECT* region) override {
    return host->CurRendererRenderFrame(t, bm, prog, frameDur, vp, region);
  }
  void CloseCurRenderer() override { writeThroughNull(); }
  LogSys* Log() override { return host->Log(); }
  DefaultActionSys* DefaultActions() override { return host->DefaultActions(); }
  bool LoadFromFile(const MCHAR* filename, unsigned long flags) override {
    return host->LoadFromFile(filename, flags);
  }
  bool IsMaxFile(const MCHAR* filename) override { return host->IsMaxFile(filename); }

 private:
  Interface8* host = GetCOREInterface8();
};

}  // namespace

using EndJobTest = JobTest;

TEST_F(EndJobTest, BeforeAnyFrameReleasesTheViewportWithoutClosingTheRenderer) {
  startJob(scene());
  ASSERT_EQ(standin::viewport_holds(), 1);
  job.EndJob();
  EXPECT_FALSE(job.jobRunning);
  EXPECT_EQ(standin::viewport_holds(), 0);
  EXPECT_EQ(standin::renderer_closes(), 0);
}

TEST_F(EndJobTest, ClosesAnOpenRendererAndForgetsTheEffect) {
  json document = scene();
  document["nodes"][0]["camera"]["multipass"] = {{"passes", 3}};
  startJob(document);
  job.openRenderer(0);
  ASSERT_NE(job.multipassEffect, nullptr);

  job.EndJob();
  EXPECT_FALSE(job.rendererOpen);
  EXPECT_FALSE(standin::renderer_open());
  EXPECT_EQ(standin::renderer_closes(), 1);
  EXPECT_EQ(job.multipassEffect, nullptr);
  EXPECT_FALSE(job.jobRunning);
}

TEST_F(EndJobTest, WithoutAJobFailsAndAfterItAnotherJobMayStart) {
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.EndJob(); }),
            "EndJob called when consistency check flag jobRunning was not set");
  startJob(scene());
  job.EndJob();
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.EndJob(); }),
            "EndJob called when consistency check flag jobRunning was not set");
  startJob(scene());
  EXPECT_TRUE(job.jobRunning);
}

TEST_F(EndJobTest, AFaultWhileClosingKeepsTheJobAndTheNextEndJobClosesAgain) {
  startJob(scene());
  job.openRenderer(0);
  CrashingCloseCore crashing;
  job.coreInterface = &crashing;

  const std::string message = messageOf<std::runtime_error>([&] { job.EndJob(); });
  const std::string trap = "Trapped SEH Exception in CloseCurRenderer(): Access Violation\n";
  ASSERT_EQ(message.substr(0, trap.size()), trap);
  EXPECT_EQ(message.substr(trap.size()), job.lastFaultDescription);
  EXPECT_TRUE(job.jobRunning);
  EXPECT_TRUE(job.rendererOpen);
  EXPECT_EQ(standin::viewport_holds(), 1);

  job.coreInterface = GetCOREInterface();
  job.EndJob();
  EXPECT_EQ(standin::renderer_closes(), 1);
  EXPECT_FALSE(job.rendererOpen);
  EXPECT_FALSE(job.jobRunning);
  EXPECT_EQ(standin::viewport_holds(), 0);
}
