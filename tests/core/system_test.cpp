// The plain-logic parts of the system wrappers, on every platform.
#include "core/system.h"

#include <gtest/gtest.h>

#include "core/system_function.h"
#include "tests/core/printers.h"

namespace {

using testing::PrintToString;

TEST(SplitRegistryPath, CutsAtTheLastBackslashWalkingByCharacters) {
  struct {
    Text path;
    Text key;
    Text valueName;
  } cases[] = {
      {R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\CSDVersion)",
       R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion)", "CSDVersion"},
      {"CurrentBuild", "", "CurrentBuild"},  // a value directly under the root
      {"", "", ""},
      {R"(Key\)", "Key", ""},  // the key's default value
      {R"(\Value)", "", "Value"},
      // 籠 is BB 5C: its second byte is no separator.
      {R"(Software\籠)", "Software", "籠"},
      {R"(Software\籠\名字)", R"(Software\籠)", "名字"},
      {"籠", "", "籠"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.path));
    const RegistryPath parts = SplitRegistryPath(c.path);
    EXPECT_EQ(parts.key, c.key);
    EXPECT_EQ(parts.valueName, c.valueName);
  }
}

TEST(MissingSystemFunctionMessage, NamesModuleAndFunction) {
  EXPECT_EQ(MissingSystemFunctionMessage("wininet.dll", "InternetTimeToSystemTime"),
            Text("找不到系统函数：wininet.dll 中的 InternetTimeToSystemTime"));
  EXPECT_EQ(MissingSystemFunctionMessage("", "GetTickCount"),
            Text("找不到系统函数：系统库 中的 GetTickCount"));
}

}  // namespace
