// Sorting the plug-in's requests for display.
#include "controller/link/requests.h"

#include <gtest/gtest.h>

namespace {

using controller::classifyRequest;
using controller::Request;

TEST(RequestsTest, SortsRequestsByKind) {
  struct Case {
    std::string packet;
    Request::Kind kind;
    std::string text;
    float percent;
  };
  const Case cases[] = {
      {"FUNCTION: SETTITLE Rendering Image - 50.0%", Request::Kind::Title,
       "Rendering Image - 50.0%", -1},
      {"FUNCTION: STDOUT: ", Request::Kind::Output, "", -1},
      {"FUNCTION: STDOUT: a, b", Request::Kind::Output, "a, b", -1},
      {"FUNCTION: PROGRESS 37.5", Request::Kind::Progress, "37.5", 37.5f},
      {"FUNCTION: PROGRESS -1", Request::Kind::Progress, "-1", -1},
      {"FUNCTION: PROGRESS abc", Request::Kind::Progress, "abc", -1},
      {"FUNCTION: GETJOBINFOENTRY Shot", Request::Kind::JobInfo, "Shot", -1},
      {"FUNCTION: GETSUBMITINFOENTRYELEMENT 0,Files", Request::Kind::SubmitElement, "0,Files", -1},
      {"FUNCTION: GETSUBMITINFOENTRY Files", Request::Kind::SubmitInfo, "Files", -1},
      {"FUNCTION: NOSUCHTHING x", Request::Kind::Unknown, "NOSUCHTHING x", -1},
  };
  for (const Case& c : cases) {
    const Request request = classifyRequest(c.packet);
    EXPECT_EQ(request.kind, c.kind) << c.packet;
    EXPECT_EQ(request.text, c.text) << c.packet;
    EXPECT_EQ(request.percent, c.percent) << c.packet;
  }
}

}  // namespace
