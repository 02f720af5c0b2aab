// The job's missing-data policies as the host is told them and as they are logged back.
#include "support/job_fixture.h"

#include <max.h>

#include <DefaultActions.h>

using namespace moonstone;

using DefaultActionsTest = JobTest;

TEST_F(DefaultActionsTest, EachFlagSetsItsKindAndOneLine) {
  job.ignoreMissingExternalFiles = true;
  job.ignoreMissingUVWs = false;
  job.ignoreMissingDLLs = false;
  job.ignoreMissingXREFs = true;
  job.applyDefaultActions();

  EXPECT_EQ(standin::default_action(TYPE_MISSING_EXTERNAL_FILES), 1u);
  EXPECT_EQ(standin::default_action(TYPE_MISSING_UVWS), 5u);
  EXPECT_EQ(standin::default_action(TYPE_MISSING_DLL_FILES), 5u);
  EXPECT_EQ(standin::default_action(TYPE_MISSING_XREF_FILES), 1u);
  EXPECT_EQ(log.text(),
            "Ignoring missing external file errors\n"
            "Not ignoring missing UVW cooridinate errors\n"
            "Not ignoring missing DLL errors\n"
            "Ignoring missing XREF errors\n");
}

TEST_F(DefaultActionsTest, LoggedBackAsTheHostHasThem) {
  DefaultActionSys* actions = GetCOREInterface()->DefaultActions();
  actions->SetAction(TYPE_MISSING_EXTERNAL_FILES, DEFAULTACTIONS_LOGTOFILE | DEFAULTACTIONS_ABORT);
  actions->SetAction(TYPE_MISSING_UVWS, DEFAULTACTIONS_LOGTOFILE);
  actions->SetAction(TYPE_MISSING_DLL_FILES, DEFAULTACTIONS_LOGTOFILE);
  // Any action but ignoring is reported as failing.
  actions->SetAction(TYPE_MISSING_XREF_FILES, 3);
  job.logDefaultActions();
  EXPECT_EQ(log.text(),
            "checking default actions\n"
            "  TYPE_MISSING_EXTERNAL_FILES = FAIL\n"
            "  TYPE_MISSING_UVWS = IGNORE\n"
            "  TYPE_MISSING_DLL_FILES = IGNORE\n"
            "  TYPE_MISSING_XREF_FILES = FAIL\n");
}
