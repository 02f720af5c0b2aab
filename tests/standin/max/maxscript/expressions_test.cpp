// The MAXScript subset: each construct's value and printed form, and the errors scripts raise.
#include "support/listener_capture.h"

namespace {

struct Case {
  const char* script;
  const char* expected;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.script;
}

class Expressions : public ListenerCapture, public ::testing::WithParamInterface<Case> {};

TEST_P(Expressions, GiveTheirValueInReadableForm) {
  EXPECT_EQ(result_of(GetParam().script), GetParam().expected) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Values, Expressions,
    ::testing::Values(Case{"42", "42"}, Case{"-7", "-7"}, Case{"2.5", "2.5"}, Case{"2.0", "2.0"},
                      Case{".5", "0.5"}, Case{"1e3", "1000.0"}, Case{"1/3.0", "0.333333"},
                      Case{"\"plain\"", "\"plain\""}, Case{R"("q\"x\\y\nz")", R"("q\"x\\y\nz")"},
                      Case{R"(@"c:\temp\new")", R"("c:\\temp\\new")"},
                      Case{R"("c:\dir")", R"("c:\\dir")"}, Case{"true", "true"},
                      Case{"FALSE", "false"}, Case{"ok", "OK"}, Case{"undefined", "undefined"},
                      Case{"", "OK"}, Case{"-- only a comment", "OK"}));

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, Expressions,
    ::testing::Values(Case{"1 + 2", "3"}, Case{"2 + 3 * 4", "14"}, Case{"(2 + 3) * 4", "20"},
                      Case{"10 - 4 - 3", "3"}, Case{"7 / 2", "3"}, Case{"-7 / 2", "-3"},
                      Case{"7 / 2.0", "3.5"}, Case{"1.5 * 2", "3.0"}, Case{"- (1 + 2)", "-3"},
                      Case{"2147483647 + 1", "-2147483648"}, Case{"\"ab\" + \"cd\"", "\"abcd\""},
                      Case{"1 +\n 2", "3"}));

INSTANTIATE_TEST_SUITE_P(
    Comparisons, Expressions,
    ::testing::Values(Case{"1 < 2", "true"}, Case{"2 <= 1", "false"}, Case{"3 > 2.5", "true"},
                      Case{"2 >= 2", "true"}, Case{"1 == 1.0", "true"}, Case{"1 != 2", "true"},
                      Case{"\"abc\" == \"abc\"", "true"}, Case{"\"abc\" == \"ABC\"", "false"},
                      Case{"\"a\" < \"b\"", "true"}, Case{"ok == ok", "true"},
                      Case{"undefined == false", "false"}, Case{"1 == \"1\"", "false"}));

INSTANTIATE_TEST_SUITE_P(Logic, Expressions,
                         ::testing::Values(Case{"true and false", "false"},
                                           Case{"true or false", "true"}, Case{"not false", "true"},
                                           Case{"not 1 > 2", "true"},
                                           Case{"false and (throw \"not evaluated\")", "false"},
                                           Case{"true or (throw \"not evaluated\")", "true"},
                                           Case{"1 < 2 and 2 < 3", "true"}));

INSTANTIATE_TEST_SUITE_P(
    Control, Expressions,
    ::testing::Values(Case{"if 1 > 2 then 10 else 20", "20"}, Case{"if true then 10 else 20", "10"},
                      Case{"if false then 1", "undefined"}, Case{"if true do 5", "5"},
                      Case{"if false then 1\nelse 2", "2"},
                      Case{"try (throw \"x\"; 1) catch 2", "2"}, Case{"try 1 catch 2", "1"},
                      Case{"try (throw \"oops\") catch (getCurrentException())",
                           "\"-- Runtime error: oops\""},
                      Case{"try (undefined + 1) catch \"caught\"", "\"caught\""},
                      Case{"()", "OK"}));

INSTANTIATE_TEST_SUITE_P(
    Variables, Expressions,
    ::testing::Values(
        Case{"exprTestA = 4\nexprTestA + 1", "5"}, Case{"exprTestB = 2; exprTestB * 3", "6"},
        Case{"exprTestC = exprTestD = 7; exprTestC", "7"},
        Case{"(local a = 2; local b = a * 3; b + a)", "8"}, Case{"(local a\na)", "undefined"},
        Case{"exprTestNeverSet", "undefined"}, Case{"EXPRTESTE = 3; exprteste", "3"},
        // A block's local hides the global of the same name and ends with the block.
        Case{"exprTestF = 1; (local exprTestF = 2; exprTestF = 5); exprTestF", "1"},
        Case{"(local a = 1; (a = a + 10); a)", "11"},
        Case{"exprTestH = (local exprTestG = 9; exprTestG); exprTestG", "undefined"}));

INSTANTIATE_TEST_SUITE_P(Calls, Expressions,
                         ::testing::Values(Case{"execute \"1 + 1\"", "2"},
                                           Case{"execute \"\"", "OK"},
                                           Case{"execute (\"2\" + \" * 3\")", "6"},
                                           Case{"print 5", "5"}, Case{"format \"%\" 1", "OK"},
                                           Case{"execute \"execute \\\"4\\\"\"", "4"},
                                           Case{"print -1", "-1"}, Case{"gc()", "OK"}));

class Listener : public ListenerCapture {};

TEST_F(Listener, PrintWritesTheReadableFormAndALineEnd) {
  run("print \"a\\\"b\"\nprint 3\nprint 2.0\nprint true");
  EXPECT_EQ(listener(), "\"a\\\"b\"\n3\n2.0\ntrue\n");
}

TEST_F(Listener, FormatSubstitutesThePlainFormOfEachArgument) {
  run("format \"name=% count=% ratio=% flag=%\\n\" \"abc\" 3 0.5 false");
  EXPECT_EQ(listener(), "name=abc count=3 ratio=0.5 flag=false\n");
}

TEST_F(Listener, FormatWithTooFewArgumentsIsARuntimeErrorAfterWhatFits) {
  EXPECT_EQ(error_of("format \"a=% b=%\" 1"),
            "-- Runtime error: format: too few arguments for the format text");
  EXPECT_EQ(listener(), "a=1 b=");
}

TEST_F(Listener, MprintfWritesToTheThreadsOutput) {
  mprintf("Title was set to \"%s\"\n", "abc");
  EXPECT_EQ(listener(), "Title was set to \"abc\"\n");
}

class Errors : public ListenerCapture, public ::testing::WithParamInterface<Case> {};

TEST_P(Errors, PrintAsTheHostPrintsThem) {
  EXPECT_EQ(error_of(GetParam().script), GetParam().expected) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Runtime, Errors,
    ::testing::Values(Case{"throw \"bad scene\"", "-- Runtime error: bad scene"},
                      Case{"throw 42", "-- Runtime error: 42"},
                      Case{"1 / 0", "-- Runtime error: Integer divide by zero"},
                      Case{"undefined + 1", "-- No \"\"+\"\" function for undefined"},
                      Case{"\"a\" * 2", "-- No \"\"*\"\" function for \"a\""},
                      Case{"true < false", "-- No \"\"<\"\" function for true"},
                      Case{"\"a\" + 1", "-- Unable to convert: 1 to type: String"},
                      Case{"1 + \"a\"", "-- Unable to convert: \"a\" to type: Integer"},
                      Case{"if 1 then 2", "-- Unable to convert: 1 to type: BooleanClass"},
                      Case{"errorTestUnset 1",
                           "-- Type error: Call needs function or class, got: undefined"},
                      Case{"print 1 2", "-- Argument count error: print wanted 1, got 2"},
                      Case{"execute 5", "-- Unable to convert: 5 to type: String"},
                      Case{"(1).count", "-- Unknown property: \"count\" in 1"},
                      Case{"try (throw \"a\") catch (throw \"b\")", "-- Runtime error: b"}));

INSTANTIATE_TEST_SUITE_P(
    Syntax, Errors,
    ::testing::Values(
        Case{"print (1+)", "-- Syntax error: at ), expected <factor>\n--  In line: print (1+)"},
        Case{"(1 + 2", "-- Syntax error: at end of script, expected )\n--  In line: (1 + 2"},
        Case{"synA = 1\nsynB = (2 *\n)\nsynC = 3",
             "-- Syntax error: at ), expected <factor>\n--  In line: )"},
        Case{"if true; 1", "-- Syntax error: at ;, expected then\n--  In line: if true; 1"},
        Case{"try 1", "-- Syntax error: at end of script, expected catch\n--  In line: try 1"},
        Case{"x = \"open",
             "-- Syntax error: at end of script, expected \"\n--  In line: x = \"open"},
        Case{"1 = 2", "-- Syntax error: at =, expected <end of expression>\n--  In line: 1 = 2"},
        Case{"x = 1 $", "-- Syntax error: at $, expected <factor>\n--  In line: x = 1 $"},
        Case{"local 5", "-- Syntax error: at 5, expected <name>\n--  In line: local 5"}));

TEST(ErrorKinds, RuntimeErrorCarriesItsTextAndIsNotAStandardException) {
  char text[] = "disk full";
  RuntimeError error(text);
  text[0] = 'D';  // the error keeps its own copy
  EXPECT_EQ(error.text(), "disk full");
  EXPECT_EQ(error.printed(), "-- Runtime error: disk full");
  StringStream printed{Collectable::Permanent{}};
  error.sprin1(&printed);
  EXPECT_STREQ(printed.to_string(), "-- Runtime error: disk full");
  EXPECT_FALSE((std::is_base_of<std::exception, RuntimeError>::value));
  EXPECT_EQ(RuntimeError(nullptr).text(), "");
}

}  // namespace
