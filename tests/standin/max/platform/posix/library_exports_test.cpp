// The stand-in host library shows other modules what its export macros mark and nothing else
// (POSIX; on Windows test-windows.sh reads the DLL's export table).
#include <max.h>

#include <maxscrpt/maxscrpt.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

TEST(StandinLibraryExportsTest, MarkedNamesAreVisibleAndInternalOnesAreNot) {
  // Marked: a function and a datum, found where this program's own references lead.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "_Z16GetCOREInterfacev"),
            reinterpret_cast<void*>(static_cast<Interface* (*)()>(&GetCOREInterface)));
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "true_value"), static_cast<void*>(&true_value));
  // Internal: the scene-file reader and the scene node's vtable stay inside the library.
  EXPECT_EQ(
      dlsym(RTLD_DEFAULT,
            "_ZN7standin13readSceneFileERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE"),
      nullptr);
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "_ZTVN7standin9SceneNodeE"), nullptr);
}

}  // namespace
