// Streams and the parser's compile loop: one expression per compile, positions, files.
#include "support/listener_capture.h"

#include "support/temp_folder.h"

#include <fstream>

namespace {

class Compiling : public ListenerCapture {};

TEST_F(Compiling, EachCompileTakesOneExpressionAndItsSeparators) {
  three_value_locals(source, parser, code);
  char text[] = "1 + 1; 2 * 3\n\n  -- note\n\"last\"  \n";
  auto* stream = new StringStream(text);
  vl.source = stream;
  auto* parser = new Parser(listener_stream());
  vl.parser = parser;
  std::vector<std::string> results;
  stream->flush_whitespace();
  while (!stream->at_eos()) {
    vl.code = parser->compile(stream);
    results.push_back(readable_text(vl.code->eval()));
    stream->flush_whitespace();
  }
  pop_value_locals();
  EXPECT_EQ(results, (std::vector<std::string>{"2", "6", "\"last\""}));
}

TEST_F(Compiling, AStringStreamCanStartFromAStringValue) {
  two_value_locals(text, stream);
  vl.text = new String("1 + 2");
  auto* stream = new StringStream(vl.text);
  vl.stream = stream;
  EXPECT_EQ(readable_text(stream->execute_vf(nullptr, 0)), "3");
  pop_value_locals();
}

TEST_F(Compiling, AnElseOnTheNextLineBelongsToTheIf) {
  EXPECT_EQ(result_of("if false then\n 1\nelse\n 2\n"), "2");
}

TEST_F(Compiling, AnOperatorStartingALineStartsANewExpression) {
  EXPECT_EQ(result_of("streamTestA = 5\n- 2"), "-2");
  EXPECT_EQ(result_of("streamTestA"), "5");
}

TEST_F(Compiling, ABackslashAtALineEndContinuesTheExpression) {
  EXPECT_EQ(result_of("1 \\\n + 2"), "3");
}

TEST(Whitespace, FlushSkipsBlanksLineEndsAndBothCommentKinds) {
  StringStream stream{Collectable::Permanent{}};
  stream.puts(" \n\t-- line comment\n /* block\n comment */ x-1");
  stream.flush_whitespace();
  EXPECT_EQ(stream.get_char(), 'x');
  stream.flush_whitespace();
  EXPECT_EQ(stream.get_char(), '-');
  EXPECT_EQ(stream.get_char(), '1');
  EXPECT_TRUE(stream.at_eos());
}

class Files : public ::testing::Test {
 protected:
  TempFolder folder;
  const std::filesystem::path& folder_ = folder.path();
};

TEST_F(Files, AFileStreamReadsAndSeeksBack) {
  const auto path = folder_ / "script.ms";
  std::ofstream(path) << "ab\ncd";
  one_value_local(file);
  auto* file = new FileStream();
  vl.file = file;
  std::string name = path.string();
  char read[] = "r";
  ASSERT_EQ(file->open(name.data(), read), file);
  EXPECT_EQ(file->get_char(), 'a');
  const long mark = file->position();
  EXPECT_EQ(file->get_char(), 'b');
  file->seek(mark);
  EXPECT_EQ(file->peek_char(), 'b');
  file->close();
  EXPECT_TRUE(file->at_eos());
  pop_value_locals();
}

TEST_F(Files, OpeningAMissingFileGivesNull) {
  one_value_local(file);
  auto* file = new FileStream();
  vl.file = file;
  std::string name = (folder_ / "missing.ms").string();
  char read[] = "r";
  EXPECT_EQ(file->open(name.data(), read), nullptr);
  EXPECT_FALSE(file->is_open());
  EXPECT_TRUE(file->at_eos());
  pop_value_locals();
}

TEST_F(Files, AFileOpenedForWritingTakesPrintedText) {
  const auto path = folder_ / "out.txt";
  one_value_local(file);
  auto* file = new FileStream();
  vl.file = file;
  std::string name = path.string();
  char write[] = "w";
  ASSERT_NE(file->open(name.data(), write), nullptr);
  file->printf("%d-%s", 7, "x");
  file->close();
  pop_value_locals();
  std::ifstream in(path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "7-x");
}

}  // namespace
