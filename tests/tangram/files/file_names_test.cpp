// Windows file names taken apart and put together, and names the Windows rules refuse.
#include "tangram/files/file_names.h"
#include "tangram/files/replace_all.h"
#include "tangram/files/windows_path.h"

#include "support/message_of.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tangram::files;

using NameFunction = std::string (*)(const std::string&);

std::string normalize(const std::string& path) {
  return normalize_separators(path);
}
std::string to_jpg(const std::string& path) {
  return change_extension(path, ".jpg");
}
std::string trailing(const std::string& text) {
  return ensure_trailing_backslash(text);
}

struct NameCase {
  const char* function;
  NameFunction call;
  std::string input;
  std::string expected;
};

TEST(FileNames, DeriveNamesFromWindowsPaths) {
  const NameCase cases[] = {
      {"normalize", normalize, "//server/share/x.tga", R"(\\server\share\x.tga)"},
      {"normalize", normalize, "C:/out//a.tga", R"(C:\out\a.tga)"},
      {"normalize", normalize, R"(C:\\\\x)", R"(C:\\x)"},
      {"normalize", normalize, R"(C:\\\x)", R"(C:\\x)"},
      {"normalize", normalize, R"(\\\x)", R"(\\\x)"},
      {"normalize", normalize, R"(\\\\\x)", R"(\\\\x)"},
      {"normalize", normalize, "/", "\\"},
      {"normalize", normalize, "", ""},

      {"parent", parent_directory, R"(D:\out\shot0012.tga)", R"(D:\out)"},
      {"parent", parent_directory, "D:/out//sub/shot.tga", R"(D:\out\sub)"},
      {"parent", parent_directory, R"(D:\out\sub\)", R"(D:\out)"},
      {"parent", parent_directory, R"(D:\shot.tga)", R"(D:\)"},
      {"parent", parent_directory, R"(D:\)", "D:"},
      {"parent", parent_directory, "D:", ""},
      {"parent", parent_directory, "D:shot.tga", "D:"},
      {"parent", parent_directory, "shot.tga", ""},
      {"parent", parent_directory, R"(renders\shot.tga)", "renders"},
      {"parent", parent_directory, R"(\out\shot.tga)", R"(\out)"},
      {"parent", parent_directory, "//server/share/x.tga", R"(\\server\share)"},
      {"parent", parent_directory, R"(\\server\share)", R"(\\server\)"},
      {"parent", parent_directory, R"(\\server)", ""},

      {"leaf", leaf_name, R"(D:\out\shot0012.tga)", "shot0012.tga"},
      {"leaf", leaf_name, "D:/out/sub/", "sub"},
      {"leaf", leaf_name, "shot.tga", "shot.tga"},
      {"leaf", leaf_name, "D:shot.tga", "shot.tga"},
      {"leaf", leaf_name, R"(\\server\share\x.tga)", "x.tga"},
      {"leaf", leaf_name, "", ""},

      {"change_extension", to_jpg, R"(D:\out\a.b.tga)", R"(D:\out\a.b.jpg)"},
      {"change_extension", to_jpg, R"(D:\out\noext)", R"(D:\out\noext.jpg)"},
      {"change_extension", to_jpg, R"(D:\take.2\shot)", R"(D:\take.2\shot.jpg)"},
      {"change_extension", to_jpg, "D:/out//shot.exr", R"(D:\out\shot.jpg)"},
      {"change_extension", to_jpg, R"(D:\shot.exr)", R"(D:\shot.jpg)"},
      {"change_extension", to_jpg, "shot.exr", "shot.jpg"},
      {"change_extension", to_jpg, R"(\\server\share\.hidden)", R"(\\server\share\.jpg)"},

      {"ensure_trailing_backslash", trailing, "", ""},
      {"ensure_trailing_backslash", trailing, R"(D:\out)", R"(D:\out\)"},
      {"ensure_trailing_backslash", trailing, R"(D:\out\)", R"(D:\out\)"},
      {"ensure_trailing_backslash", trailing, "D:/out/", "D:/out/"},
  };
  for (const NameCase& c : cases)
    EXPECT_EQ(c.call(c.input), c.expected) << c.function << "(" << c.input << ")";
}

TEST(FileNames, NamesBreakingWindowsRulesAreRefused) {
  const NameCase cases[] = {
      {"parent", parent_directory, R"(D:\out\a?.tga)",
       R"(invalid name "a?.tga" in path: "D:\out\a?.tga")"},
      {"parent", parent_directory, R"(D:\out|x\a.tga)",
       R"(invalid name "out|x" in path: "D:\out|x\a.tga")"},
      // Four backslashes normalize to two, which leave an empty name between them.
      {"leaf", leaf_name, R"(C:\\\\x)", R"(invalid name "" in path: "C:\\x")"},
      {"leaf", leaf_name, R"(D:\out\shot.)", R"(invalid name "shot." in path: "D:\out\shot.")"},
      {"leaf", leaf_name, R"(D:\out \shot)", R"(invalid name "out " in path: "D:\out \shot")"},
      {"leaf", leaf_name, R"(D:\a:b)", R"(invalid name "a:b" in path: "D:\a:b")"},
      {"parent", parent_directory, R"(\\\x)", R"(invalid name "" in path: "\\\x")"},
      {"change_extension", to_jpg, R"(D:\out\sh*t.exr)",
       R"(invalid name "sh*t.exr" in path: "D:\out\sh*t.exr")"},
  };
  for (const NameCase& c : cases)
    EXPECT_EQ(messageOf<path_name_error>([&] { c.call(c.input); }), c.expected)
        << c.function << "(" << c.input << ")";
}

TEST(FileNames, NewExtensionMustNotAddAFolderLevel) {
  EXPECT_EQ(messageOf<path_name_error>([] { change_extension(R"(D:\out\a.tga)", "\\x"); }),
            R"(invalid name "a\x" in path: "D:\out\a\x")");
  EXPECT_EQ(messageOf<path_name_error>([] { change_extension(R"(D:\out\a.tga)", "."); }),
            R"(invalid name "a." in path: "D:\out\a.")");
}

TEST(FileNames, ReplaceAllNeverRematchesWhatItWrote) {
  struct Case {
    std::string text, what, with, expected;
  };
  const Case cases[] = {
      {"a/b/c", "/", "\\", R"(a\b\c)"},
      {"aaa", "a", "aa", "aaaaaa"},
      {"aaaa", "aa", "a", "aa"},
      {"abcabc", "b", "", "acac"},
      {"abc", "x", "y", "abc"},
      // An empty search text has nothing sensible to replace; the text comes back unchanged.
      {"abc", "", "y", "abc"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(replace_all(c.text, c.what, c.with), c.expected)
        << c.text << " / " << c.what << " / " << c.with;
}

}  // namespace
