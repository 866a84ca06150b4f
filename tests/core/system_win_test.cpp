// The system wrappers on the real Windows APIs (run under Wine): the
// registry, the dynamic lookup and its fatal stop, the platform kind, the
// clock and the message pump. Registry keys and values are made by the tests
// under HKEY_CURRENT_USER, named after the process, and removed again.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "core/system.h"
#include "core/system_function.h"
#include "core/win32.h"
#include "tests/core/printers.h"

namespace {

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Answers the fatal stop's error box as a user would (OK), so that the stop
// goes on to its end also where a display shows the box. Without a display
// Wine cannot show it and MessageBoxW returns at once.
LRESULT CALLBACK AnswerActivatedBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) ::PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
void AnswerErrorBoxes() {
  ::SetWindowsHookExW(WH_CBT, &AnswerActivatedBox, nullptr, ::GetCurrentThreadId());
}

// --- ReadRegistryText ---------------------------------------------------------

class ReadRegistryTextTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, WideFromText(keyPath_).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    ::RegCloseKey(key_);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, WideFromText(keyPath_).c_str());
    ::RegDeleteValueW(HKEY_CURRENT_USER, WideFromText(rootValueName_).c_str());
  }

  static void SetValue(HKEY key, const Text& name, DWORD type, const std::wstring& data) {
    // The data as stored: the characters and their terminating zero.
    ASSERT_EQ(::RegSetValueExW(key, WideFromText(name).c_str(), 0, type,
                               reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  void SetText(const Text& name, const Text& text, DWORD type = REG_SZ) {
    SetValue(key_, name, type, WideFromText(text));
  }
  Text Path(const Text& valueName) const { return keyPath_ + "\\" + valueName; }

  const Text keyPath_ = "Software\\ZheqiaoCoreTest" + ToText(int(::GetCurrentProcessId()));
  const Text rootValueName_ = "ZheqiaoCoreTest" + ToText(int(::GetCurrentProcessId()));
  HKEY key_ = nullptr;
};

TEST_F(ReadRegistryTextTest, GivesARegSzValueAsGbkText) {
  SetText("时间", "北京时间 2019");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("时间")), Text("北京时间 2019"));
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("时间"), Text("默认")), Text("北京时间 2019"));
}

TEST_F(ReadRegistryTextTest, StopsAtTheFirstZero) {
  SetValue(key_, "TwoParts", REG_SZ, std::wstring(L"ab\0cd", 5));
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("TwoParts")), Text("ab"));
}

TEST_F(ReadRegistryTextTest, AnEmptyStringIsNoMissingValue) {
  SetText("Empty", "");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("Empty"), Text("默认")), Text());
}

TEST_F(ReadRegistryTextTest, ExpandsEnvironmentVariablesOfRegExpandSz) {
  SetText("Expand", "%SystemRoot%\\system32", REG_EXPAND_SZ);
  SetText("Plain", "%SystemRoot%\\system32", REG_SZ);
  wchar_t systemRoot[MAX_PATH] = {};
  ASSERT_GT(::GetEnvironmentVariableW(L"SystemRoot", systemRoot, MAX_PATH), 0u);

  const Text expanded = ReadRegistryText(kCurrentUser, Path("Expand"));
  EXPECT_EQ(expanded, TextFromWide(systemRoot) + "\\system32");
  EXPECT_EQ(TextFind(expanded, "%"), -1) << testing::PrintToString(expanded);
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("Plain")), Text("%SystemRoot%\\system32"));
}

TEST_F(ReadRegistryTextTest, GivesTheDefaultOrEmptyWhenNothingFits) {
  const DWORD number = 42;
  ASSERT_EQ(::RegSetValueExW(key_, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                             sizeof(number)),
            ERROR_SUCCESS);
  SetValue(key_, "Multi", REG_MULTI_SZ, std::wstring(L"a\0b\0", 4));
  struct {
    Text path;
    const char* what;
  } cases[] = {
      {Path("Number"), "a value of another type (REG_DWORD)"},
      {Path("Multi"), "a value of another type (REG_MULTI_SZ)"},
      {Path("Missing"), "a missing value"},
      {keyPath_ + "\\NoSuchKey\\Value", "a missing key"},
      {"", "the root's default value, which is not set"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadRegistryText(kCurrentUser, c.path, Text("默认")), Text("默认"));
    EXPECT_EQ(ReadRegistryText(kCurrentUser, c.path), Text());
  }
}

TEST_F(ReadRegistryTextTest, CutsKeyAndValueNameAtTheLastBackslashByCharacters) {
  // 籠 is BB 5C in code page 936: its second byte is a backslash byte.
  HKEY inner = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(key_, WideFromText("籠").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &inner, nullptr),
            ERROR_SUCCESS);
  SetValue(inner, "名籠", REG_SZ, WideFromText("内层"));
  SetValue(inner, "", REG_SZ, WideFromText("默认值"));
  ::RegCloseKey(inner);
  SetText("籠", "外层");

  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("籠\\名籠")), Text("内层"));
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("籠")), Text("外层"));
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("籠\\")), Text("默认值"));  // the key's default
}

TEST_F(ReadRegistryTextTest, APathWithoutBackslashNamesAValueUnderTheRoot) {
  HKEY root = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, KEY_SET_VALUE, &root), ERROR_SUCCESS);
  SetValue(root, rootValueName_, REG_SZ, L"under the root");
  ::RegCloseKey(root);
  EXPECT_EQ(ReadRegistryText(kCurrentUser, rootValueName_), Text("under the root"));
}

TEST(ReadRegistryText, ReadsTheCurrentBuildUnderTheLocalMachine) {
  const Text build = ReadRegistryText(
      kLocalMachine, R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentBuild)");
  ASSERT_FALSE(build.empty());
  for (const char digit : build.bytes()) EXPECT_TRUE(digit >= '0' && digit <= '9') << build.bytes();
  EXPECT_EQ(ReadRegistryText(kLocalMachine,
                             R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\NoSuchValueHere)"),
            Text());
}

TEST(ReadRegistryText, MapsRootCodesToTheirRoots) {
  // Writing under HKEY_LOCAL_MACHINE and the other roots needs an
  // administrator on Windows; a Wine prefix lets the test do it.
  if (!RunningUnderWine()) GTEST_SKIP() << "writes under every root: runs under Wine only";
  const std::wstring name = L"ZheqiaoCoreTest" + std::to_wstring(::GetCurrentProcessId());
  struct {
    HKEY root;
    std::wstring key;
    const wchar_t* rootName;
    std::vector<int> codes;
  } roots[] = {
      {HKEY_CLASSES_ROOT, name, L"HKCR", {1}},
      {HKEY_CURRENT_CONFIG, L"Software\\" + name, L"HKCC", {2}},
      {HKEY_LOCAL_MACHINE, L"Software\\" + name, L"HKLM", {4}},
      {HKEY_USERS, L".Default\\Software\\" + name, L"HKU", {5}},
      {HKEY_CURRENT_USER, L"Software\\" + name, L"HKCU", {3, 0, 6, -1, 100}},
  };
  for (const auto& r : roots) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(r.root, r.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Root", 0, REG_SZ, reinterpret_cast<const BYTE*>(r.rootName),
                     static_cast<DWORD>((std::wcslen(r.rootName) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
  }
  for (const auto& r : roots) {
    for (const int code : r.codes) {
      SCOPED_TRACE(code);
      EXPECT_EQ(ReadRegistryText(code, TextFromWide(r.key) + "\\Root"), TextFromWide(r.rootName));
    }
  }
  for (const auto& r : roots) ::RegDeleteTreeW(r.root, r.key.c_str());
}

// --- Dynamic lookup of system functions ------------------------------------

using GetTickCountFunction = DWORD(WINAPI*)();

TEST(LookUpSystemFunction, FindsAndCachesAFunction) {
  void* const expected = reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount"));
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(LookUpSystemFunction("kernel32.dll", "GetTickCount"), expected);
  EXPECT_EQ(LookUpSystemFunction("kernel32.dll", "GetTickCount"), expected);
  EXPECT_GT(SystemFunction<GetTickCountFunction>("kernel32.dll", "GetTickCount")(), 0u);
  // Without a module name: the standard system libraries, kernel32 first.
  EXPECT_EQ(LookUpSystemFunction("", "GetTickCount"), expected);
  EXPECT_EQ(
      LookUpSystemFunction("", "MessageBoxW"),
      reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryW(L"user32.dll"), "MessageBoxW")));
  ReleaseSystemFunctions();
  EXPECT_EQ(LookUpSystemFunction("kernel32.dll", "GetTickCount"), expected);
  ReleaseSystemFunctions();
}

TEST(LookUpSystemFunction, LoadsAModuleAtItsFirstUseAndReleasesIt) {
  ASSERT_EQ(::GetModuleHandleW(L"wininet.dll"), nullptr) << "the test needs wininet unloaded";
  EXPECT_NE(LookUpSystemFunction("wininet.dll", "InternetTimeToSystemTime"), nullptr);
  EXPECT_NE(::GetModuleHandleW(L"wininet.dll"), nullptr);
  ReleaseSystemFunctions();
  EXPECT_EQ(::GetModuleHandleW(L"wininet.dll"), nullptr);
}

TEST(LookUpSystemFunctionDeathTest, AMissingFunctionEndsTheProgramNamingModuleAndFunction) {
  EXPECT_EXIT((AnswerErrorBoxes(), LookUpSystemFunction("kernel32.dll", "ZqNoSuchFunction")),
              testing::ExitedWithCode(-1), "kernel32\\.dll.*ZqNoSuchFunction");
  EXPECT_EXIT((AnswerErrorBoxes(), LookUpSystemFunction("zq_no_such_module.dll", "Anything")),
              testing::ExitedWithCode(-1), "zq_no_such_module\\.dll.*Anything");
  EXPECT_EXIT((AnswerErrorBoxes(), LookUpSystemFunction("", "ZqNoSuchFunction")),
              testing::ExitedWithCode(-1), "ZqNoSuchFunction");
}

TEST(TextArrayDeathTest, AnIndexOutOfRangeEndsTheProgram) {
  const TextArray array{"a"};
  EXPECT_EXIT((AnswerErrorBoxes(), array[2]), testing::ExitedWithCode(-1), "StopWithError");
}

// --- OsKind, the clock ----------------------------------------------------------

TEST(OsKind, IsTheNtFamily) {
  EXPECT_EQ(OsKind(), 3);
}

TEST(CurrentDateTime, IsTheLocalTimeInWholeSeconds) {
  auto localNow = [] {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return MakeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  };
  const DateTime before = localNow();
  const DateTime now = CurrentDateTime();
  const DateTime after = localNow();
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
}

TEST(SetCurrentDateTime, UnderWineSucceedsNearNowAndFailsFarOffWithoutMovingTheClock) {
  // On a real Windows with the right to set the time these calls would move
  // the clock: the test runs under Wine only, which never moves the host's.
  if (!RunningUnderWine()) GTEST_SKIP() << "sets the clock: runs under Wine only";

  EXPECT_FALSE(SetCurrentDateTime(MakeDateTime(2001, 2, 3, 4, 5, 6)));
  EXPECT_NE(ToFields(CurrentDateTime()).year, 2001);

  // Wine accepts a time within about a second of its clock: the nearest whole second.
  bool set = false;
  for (int attempt = 0; attempt < 3 && !set; ++attempt) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const DateTime nearest = AddToDateTime(
        MakeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond),
        kSeconds, now.wMilliseconds >= 500 ? 1 : 0);
    set = SetCurrentDateTime(nearest);
  }
  EXPECT_TRUE(set);
}

// --- ProcessPendingEvents -------------------------------------------------------

// A message-only window that records the messages dispatched to it.
class PumpTest : public testing::Test {
 protected:
  static constexpr UINT kRecord = WM_APP + 1;
  static constexpr UINT kRecordAndPost = WM_APP + 2;

  void SetUp() override {
    // Nothing of an earlier test may wait in the queue.
    MSG stale{};
    while (::PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) {
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PumpTest::WindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZheqiaoPumpTest";
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
    window_ = ::CreateWindowExW(0, L"ZheqiaoPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    seen_.clear();
  }
  void TearDown() override {
    if (window_ != nullptr) ::DestroyWindow(window_);
    MSG rest{};
    while (::PeekMessageW(&rest, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case kRecordAndPost:
        // Posted while the pump runs: handled by the same call.
        ::PostMessageW(window, kRecord, wParam + 1, 0);
        [[fallthrough]];
      case kRecord:
        seen_.push_back("message " + std::to_string(wParam));
        return 0;
      case WM_TIMER:
        seen_.push_back("tick");
        ::KillTimer(window, wParam);
        return 0;
      default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
  }

  // The next message waiting for the thread, taken out of the queue.
  static MSG TakeNext() {
    MSG message{};
    if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) message.message = WM_NULL;
    return message;
  }

  static inline std::vector<std::string> seen_;
  HWND window_ = nullptr;
};

TEST_F(PumpTest, ReturnsAtOnceWhenNothingWaits) {
  ProcessPendingEvents();
  EXPECT_TRUE(seen_.empty());
}

TEST_F(PumpTest, DispatchesEveryWaitingMessageAndLeavesTheQuitRequest) {
  ::PostMessageW(window_, kRecord, 1, 0);
  ::PostMessageW(window_, kRecordAndPost, 2, 0);
  ::PostQuitMessage(7);
  ProcessPendingEvents();
  EXPECT_EQ(seen_, (std::vector<std::string>{"message 1", "message 2", "message 3"}));
  const MSG next = TakeNext();
  EXPECT_EQ(next.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(next.wParam, 7u);
}

TEST_F(PumpTest, StopsInFrontOfAQuitRequest) {
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_QUIT, 9, 0);
  ::PostMessageW(window_, kRecord, 1, 0);
  ProcessPendingEvents();
  EXPECT_TRUE(seen_.empty());
  const MSG quit = TakeNext();
  EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(quit.wParam, 9u);
  EXPECT_EQ(TakeNext().message, kRecord);
}

TEST_F(PumpTest, HandlesATimerTickThatIsDue) {
  ASSERT_NE(::SetTimer(window_, 1, 1, nullptr), 0u);
  ::Sleep(50);
  ProcessPendingEvents();
  EXPECT_EQ(seen_, std::vector<std::string>{"tick"});
}

}  // namespace
