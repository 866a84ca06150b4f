// The native build's stand-ins for the system and the fatal stops, which end
// the process with -1 (seen by the host as the exit status 255).
#include <gtest/gtest.h>

#include <ctime>
#include <new>

#include "core/fatal.h"
#include "core/system.h"
#include "core/system_function.h"
#include "core/text.h"

namespace {

constexpr int kStopExitStatus = 255;  // -1 as an 8-bit exit status

DateTime HostLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return MakeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, local.tm_sec);
}

TEST(NativeSystem, CurrentDateTimeIsTheHostsLocalTime) {
  const DateTime before = HostLocalTime();
  const DateTime now = CurrentDateTime();
  const DateTime after = HostLocalTime();
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
}

TEST(NativeSystem, NeverSetsTheClock) {
  EXPECT_FALSE(SetCurrentDateTime(CurrentDateTime()));
  EXPECT_FALSE(SetCurrentDateTime(MakeDateTime(2001, 1, 1)));
}

TEST(NativeSystem, HasAnEmptyRegistryNoWindowsAndNoQueue) {
  EXPECT_EQ(ReadRegistryText(kLocalMachine,
                             R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentBuild)"),
            Text());
  EXPECT_EQ(ReadRegistryText(kCurrentUser, "x", Text("默认")), Text("默认"));
  EXPECT_EQ(OsKind(), 0);
  ProcessPendingEvents();  // returns at once
}

TEST(NativeFatalStop, TextArrayIndexOutOfRangeEndsTheProgram) {
  const TextArray array{"a", "b"};
  EXPECT_EXIT(array[0], testing::ExitedWithCode(kStopExitStatus), "StopWithError: .*0");
  EXPECT_EXIT(array[3], testing::ExitedWithCode(kStopExitStatus), "StopWithError: .*3");
  TextArray changeable;
  EXPECT_EXIT(changeable[1] = "x", testing::ExitedWithCode(kStopExitStatus), "StopWithError");
}

TEST(NativeFatalStop, LookingUpAFunctionEndsTheProgramNamingIt) {
  EXPECT_EXIT(LookUpSystemFunction("wininet.dll", "InternetTimeToSystemTime"),
              testing::ExitedWithCode(kStopExitStatus),
              "StopWithError: .*wininet\\.dll.*InternetTimeToSystemTime");
  ReleaseSystemFunctions();  // nothing to release
}

TEST(NativeFatalStop, ExhaustedMemoryEndsTheProgram) {
  // operator new calls the new handler when memory cannot be had; calling it
  // directly spares the test an allocation that sanitizers refuse.
  EXPECT_EXIT(
      {
        StopWithErrorWhenMemoryRunsOut();
        std::get_new_handler()();
      },
      testing::ExitedWithCode(kStopExitStatus), "StopWithError: ");
}

}  // namespace
