// The start-up steps on the real Windows API (run under Wine in a virtual
// display): the program's folder as current directory, and the main loop
// with its keyboard navigation and its end.
#include "app/startup_win.h"

#include <gtest/gtest.h>

#include <string>

#include "core/win32.h"

namespace {

std::wstring CurrentDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(::GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
  return path;
}

TEST(EnterProgramFolder, MakesTheExecutablesFolderTheCurrentDirectory) {
  std::wstring program(MAX_PATH, L'\0');
  program.resize(::GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
  const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));

  const std::wstring before = CurrentDirectory();
  ASSERT_TRUE(::SetCurrentDirectoryW(L"C:\\windows"));
  EnterProgramFolder();
  EXPECT_EQ(CurrentDirectory(), folder);
  ::SetCurrentDirectoryW(before.c_str());
}

// The loop passes keys through IsDialogMessage: Tab from 按钮1 reaches 按钮2.
// Timer ticks come only when no other message waits, so the tick of 时钟3 runs
// after the Tab key; it records the focus and closes the window, which ends
// the loop.
TEST(RunMessageLoop, MovesTheFocusWithTabAndEndsWhenTheWindowIsClosed) {
  MainWindow window;
  HWND focusAfterTab = nullptr;
  EventHandlers handlers;
  handlers.时钟3Tick = [&] {
    window.DestroyTimer(Timer::时钟3);
    focusAfterTab = ::GetFocus();
    ::PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
  };
  window.SetEventHandlers(handlers);
  ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
  HWND first = window.ControlHandle(Control::按钮1);
  HWND second = window.ControlHandle(Control::按钮2);
  ::SetFocus(first);
  ::PostMessageW(first, WM_KEYDOWN, VK_TAB, 0);
  RunMessageLoop(window);
  EXPECT_EQ(focusAfterTab, second);
  EXPECT_EQ(window.Handle(), nullptr);
}

}  // namespace
