// Script evaluation helpers: files, texts, printed forms, errors, and the thread's frame chain.
#include "tangram/max3d/maxscript/scoped_maxscript_frame.h"
#include "tangram/max3d/maxscript/script_evaluation.h"
#include "tangram/max3d/maxscript/script_text.h"

#include "support/listener_capture.h"

#include "support/temp_folder.h"

#include <fstream>
#include <stdexcept>
#include <thread>

namespace {

using namespace tangram::max3d;

class Helpers : public ListenerCapture {
 protected:
  void SetUp() override {
    ListenerCapture::SetUp();
    frame_before_ = standin::thread_locals()->current_locals_frame;
  }
  void TearDown() override {
    EXPECT_EQ(standin::thread_locals()->current_locals_frame, frame_before_)
        << "the frame chain is restored";
    ListenerCapture::TearDown();
  }

  std::string write_script(const std::string& name, const std::string& text) {
    const auto path = folder_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  /// The text of the std::runtime_error the call throws; empty when it throws none.
  template <class Call>
  static std::string failure_of(Call call) {
    try {
      call();
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return std::string();
  }

  TempFolder folder;
  const std::filesystem::path& folder_ = folder.path();
  Value** frame_before_ = nullptr;
};

TEST_F(Helpers, AnEmptyFileGivesOk) {
  EXPECT_EQ(run_script_file(write_script("empty.ms", "")), &ok);
  EXPECT_EQ(run_script_file(write_script("blank.ms", "\n  -- nothing but a comment\n")), &ok);
}

TEST_F(Helpers, AFileGivesItsLastValueAndLeavesItInCurrentResult) {
  Value* result = run_script_file(write_script("last.ms", "print 1\r\nprint \"two\"\r\n1 > 2\r\n"));
  EXPECT_EQ(result, &false_value);
  EXPECT_EQ(standin::thread_locals()->current_result, &false_value);
  EXPECT_EQ(listener(), "1\n\"two\"\n");
}

TEST_F(Helpers, AFileRunsExpressionsInOrderWithGlobalsBetweenThem) {
  Value* result = run_script_file(
      write_script("globals.ms", "helperTotal = 2\nhelperTotal = helperTotal * 5; helperTotal"));
  EXPECT_EQ(value_to_text(result), "10");
}

TEST_F(Helpers, ASyntaxErrorInAFileCarriesThePrefixAfterWhatRanBeforeIt) {
  const std::string path = write_script("syntax.ms", "print 1\nprint (1+)\nprint 3\n");
  EXPECT_EQ(
      failure_of([&] { run_script_file(path); }),
      "MAXScriptException: -- Syntax error: at ), expected <factor>\n--  In line: print (1+)");
  EXPECT_EQ(listener(), "1\n");
}

TEST_F(Helpers, ARuntimeErrorInAFileCarriesThePrefix) {
  const std::string path = write_script("throw.ms", "throw \"bad scene\"");
  EXPECT_EQ(failure_of([&] { run_script_file(path); }),
            "MAXScriptException: -- Runtime error: bad scene");
}

TEST_F(Helpers, AFileThatCannotBeOpenedIsAScriptErrorNamingIt) {
  const std::string path = (folder_ / "missing.ms").string();
  EXPECT_EQ(failure_of([&] { run_script_file(path); }),
            "MAXScriptException: -- Runtime error: Cannot open script file: \"" + path + "\"");
  EXPECT_EQ(failure_of([&] { run_script_file(folder_.string()); }).rfind("MAXScriptException: ", 0),
            0u)
      << "a folder is no script file";
}

TEST_F(Helpers, EvaluateStreamClosesItsSourceAfterAnError) {
  one_value_local(source);
  char text[] = "1 +";
  auto* source = new StringStream(text);
  vl.source = source;
  EXPECT_EQ(failure_of([&] { evaluate_stream(source); }).rfind("MAXScriptException: -- Syntax", 0),
            0u);
  EXPECT_TRUE(source->at_eos());
  pop_value_locals();
}

TEST_F(Helpers, ATextGivesItsLastValue) {
  EXPECT_EQ(value_to_text(evaluate_script_text("1 + 1")), "2");
  Value* result = evaluate_script_text("\"ab\" + \"c\"");
  EXPECT_EQ(standin::thread_locals()->current_result, result);
  EXPECT_EQ(value_to_text(result), "\"abc\"");
  EXPECT_EQ(evaluate_script_text(""), &ok);
  standin::null_result_from_next_execute();
  EXPECT_EQ(evaluate_script_text("1"), &ok);
  EXPECT_EQ(standin::thread_locals()->current_result, &ok);
}

TEST_F(Helpers, ASyntaxErrorInATextHasNoPrefix) {
  EXPECT_EQ(failure_of([] { evaluate_script_text("print (1+)"); }),
            "-- Syntax error: at ), expected <factor>\n--  In line: print (1+)");
  EXPECT_EQ(failure_of([] { evaluate_script_text("throw \"x\""); }), "-- Runtime error: x");
}

TEST_F(Helpers, PrintedForms) {
  EXPECT_EQ(value_to_text(&false_value), "false");
  EXPECT_EQ(value_to_text(&ok), "OK");
  EXPECT_EQ(value_to_text(evaluate_script_text("\"a\\\"b\"")), "\"a\\\"b\"");
  char text[] = "x";
  RuntimeError runtimeError(text);
  EXPECT_EQ(error_to_text(runtimeError), "-- Runtime error: x");
  ArgCountError countError("f", 1, 2);
  EXPECT_EQ(error_to_text(countError), "-- Argument count error: f wanted 1, got 2");
}

TEST_F(Helpers, TheFrameGuardRestoresTheChainWhenAFunctionThrows) {
  try {
    scoped_maxscript_frame frame;
    one_value_local(held);
    vl.held = new String("held");
    EXPECT_NE(standin::thread_locals()->current_locals_frame, frame_before_);
    throw std::runtime_error("leaving");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(standin::thread_locals()->current_locals_frame, frame_before_);
}

TEST(FrameGuard, SetsUpAThreadWithoutThreadLocals) {
  bool had = true;
  bool has = false;
  std::thread fresh([&] {
    had = TlsGetValue(thread_locals_index) != nullptr;
    { scoped_maxscript_frame frame; }
    has = TlsGetValue(thread_locals_index) != nullptr;
  });
  fresh.join();
  EXPECT_FALSE(had);
  EXPECT_TRUE(has);
}

TEST(FrameGuard, AnErrorLeftBehindBySettingUpTheThreadIsNoFailure) {
  bool threw = false;
  std::thread fresh([&] {
    standin::leave_error_after_next_thread_locals_init(ERROR_FILE_NOT_FOUND);
    try {
      scoped_maxscript_frame frame;
    } catch (const std::runtime_error&) {
      threw = true;
    }
  });
  fresh.join();
  EXPECT_FALSE(threw);
}

TEST(FrameGuard, AThreadWhoseThreadLocalsCannotBeSetUpGetsTheAssertion) {
  std::string message;
  std::thread fresh([&] {
    standin::fail_next_thread_locals_init();
    try {
      scoped_maxscript_frame frame;
    } catch (const std::runtime_error& error) {
      message = error.what();
    }
  });
  fresh.join();
  EXPECT_EQ(message,
            "tangram/max3d/maxscript:86 tangram::max3d::scoped_maxscript_frame::"
            "scoped_maxscript_frame() assert condition GetLastError() == ERROR_SUCCESS failed: "
            "Unable to get the MXS current_locals_frame for the current thread.");
}

}  // namespace
