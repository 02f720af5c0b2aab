// Splitting command lines: separators, quotes, escapes and their errors.
#include "session/command_line.h"

#include "support/message_of.h"

#include <boost/tokenizer.hpp>
#include <gtest/gtest.h>

namespace {

using namespace moonstone;
using Fields = std::vector<std::string>;

TEST(SplitCommandLineTest, SplitsFieldsByTheEscapedListRules) {
  struct Case {
    std::string line;
    Fields fields;
  };
  const Case cases[] = {
      {"RenderTask,5", {"RenderTask", "5"}},
      {"a,\"b,c\",d", {"a", "b,c", "d"}},
      {"x\\,y", {"x,y"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",", {"", ""}},
      {"", {}},
      {" RenderTask , 5 ", {" RenderTask ", " 5 "}},
      {"say,\"open to the end", {"say", "open to the end"}},
      {"pa\"rt,ly\" quoted", {"part,ly quoted"}},
      {"line\\nbreak", {"line\nbreak"}},
      {"back\\\\slash", {"back\\slash"}},
      {"a \\\"quote\\\"", {"a \"quote\""}},
      {"ExecuteScript,c:\\\\scripts\\\\a.ms,true", {"ExecuteScript", "c:\\scripts\\a.ms", "true"}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.fields) << c.line;
}

TEST(SplitCommandLineTest, RejectsUnknownEscapesAndATrailingBackslash) {
  EXPECT_EQ(messageOf<boost::escaped_list_error>([] { splitCommandLine("c:\\scripts"); }),
            "unknown escape sequence");
  EXPECT_EQ(messageOf<boost::escaped_list_error>([] { splitCommandLine("RenderTask,5\\"); }),
            "cannot end with escape");
  EXPECT_THROW(splitCommandLine("\\t"), std::runtime_error);
}

}  // namespace
