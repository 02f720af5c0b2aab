// Scripts nested past the engine's budget are refused with a MAXScript error instead of running
// the thread out of stack, and the budget is whole again afterwards.
#include "support/listener_capture.h"

#include <string>

namespace {

std::string repeated(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

std::string parentheses(int depth) {
  return repeated("(", depth) + "1" + repeated(")", depth);
}

class Nesting : public ListenerCapture {};

TEST_F(Nesting, ScriptsNestedAsPeopleWriteThemRun) {
  EXPECT_EQ(result_of(parentheses(100)), "1");
  EXPECT_EQ(result_of(repeated("- ", 100) + "1"), "1");
  EXPECT_EQ(result_of(repeated("not ", 101) + "true"), "false");
  EXPECT_EQ(result_of(repeated("if true then ", 100) + "7"), "7");
  // A chain of operators nests each operator's left side inside it, as deep as the chain is long.
  EXPECT_EQ(result_of("1" + repeated(" + 1", 100)), "101");
  EXPECT_EQ(result_of("2" + repeated(" * 1", 100)), "2");
  EXPECT_EQ(result_of("false" + repeated(" or false", 100) + " or true"), "true");
}

TEST_F(Nesting, DeeperTextsAreSyntaxErrors) {
  const std::string expected = "-- Syntax error: at ";
  for (const std::string& script :
       {parentheses(20000), repeated("- ", 20000) + "1", repeated("not ", 20000) + "true",
        repeated("throw ", 20000) + "1", repeated("try ", 20000) + "1",
        "1" + repeated(" + 1", 200000), "1" + repeated(" / 1", 200000),
        "true" + repeated(" and true", 200000), "true" + repeated(" or true", 200000),
        "x" + repeated(".y", 200000)}) {
    const std::string error = error_of(script);
    EXPECT_EQ(error.rfind(expected, 0), 0u) << error.substr(0, 80);
    EXPECT_NE(error.find("expected <an expression nested less deeply>"), std::string::npos)
        << error.substr(0, 80);
  }
}

const char* const executesItself = "nestingSelf = \"execute nestingSelf\"; execute nestingSelf";

TEST_F(Nesting, ATextThatExecutesItselfEndsInARuntimeError) {
  EXPECT_EQ(error_of(executesItself), "-- Runtime error: execute nested too deeply");
  EXPECT_EQ(result_of("try (execute nestingSelf) catch \"caught\""), "\"caught\"");
}

TEST_F(Nesting, TheBudgetIsWholeAgainAfterARefusal) {
  error_of(parentheses(20000));
  error_of(executesItself);
  error_of("1" + repeated(" + (1", 200) + repeated(" * 2", 200000));
  // Every level taken by the refused scripts was given back: the deepest script within the
  // budget still runs.
  EXPECT_EQ(result_of(parentheses(250)), "1");
}

}  // namespace
