// The fault report that the fault filter stores for a trapped call, on the platform's own guard.
#include "support/report_lines.h"
#include "support/faults.h"

#include "render/fault_filter.h"
#include "render/trapped_call.h"

#include <gtest/gtest.h>

namespace {

using namespace moonstone;

TEST(TrappedReportTest, AWriteToAddress0x10NamesTheProgramTheCodeTheAddressAndTheStack) {
  std::string report;
  const FaultFilter filter(report);
  std::string errorText;
  trappedCall("RenderFrame", errorText, filter, [] { faults::write_at(0x10); });
  const std::vector<std::string> lines = lines_of(report);
  const std::string program = executable_path();
  ASSERT_GE(lines.size(), 8u) << report;
  EXPECT_EQ(lines[0], "Process:  " + program);
  EXPECT_EQ(lines[1], "Module:  " + program);
  EXPECT_EQ(lines[2], date_line_of(program));
  EXPECT_EQ(lines[3], "Exception Code:  C0000005");
  EXPECT_EQ(lines[4], "Write Address:  " + full_width(0x10));
  EXPECT_EQ(lines[5].rfind("Instruction:  ", 0), 0u) << lines[5];
  EXPECT_EQ(lines[6], "Call Stack:");
  EXPECT_EQ(lines[7].rfind(" ", 0), std::string::npos) << lines[7];
  EXPECT_NE(lines[7].find("  " + program), std::string::npos) << lines[7];
}

}  // namespace
