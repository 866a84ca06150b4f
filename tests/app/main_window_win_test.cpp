// The Win32 main window on the real Windows API (run under Wine in a virtual
// display): the window and its 27 controls as the description gives them,
// tab order, timers and their destruction, SetFont with its freed fonts and
// the edit-box height rule, message boxes, and the end of the window.
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/font_change.h"
#include "core/system.h"
#include "core/win32.h"

namespace {

using namespace std::chrono_literals;

// Dispatches the thread's messages for a while, as the main loop does.
// Returns true when a quit request was taken.
bool Pump(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  bool quit = false;
  do {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        continue;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (std::chrono::steady_clock::now() < end);
  return quit;
}

// Pumps until the condition holds or 10 s have passed.
template <typename Condition>
bool PumpUntil(Condition condition) {
  for (int i = 0; i < 1000 && !condition(); ++i) Pump(10ms);
  return condition();
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

Text TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return TextFromWide(text);
}

RECT ClientPlace(HWND control) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
  return font;
}

int ScreenDpiY() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

// A made window with counters on every event; the quit request its
// destruction posts is taken again before the next test.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handlers_.时钟1Tick = [this] { ++ticks[0]; };
    handlers_.时钟2Tick = [this] { ++ticks[1]; };
    handlers_.时钟3Tick = [this] { ++ticks[2]; };
    handlers_.时钟4Tick = [this] { ++ticks[3]; };
    handlers_.时钟5Tick = [this] { ++ticks[4]; };
    handlers_.时钟6Tick = [this] { ++ticks[5]; };
    handlers_.时钟7Tick = [this] { ++ticks[6]; };
    handlers_.按钮1Click = [this] { ++clicks[0]; };
    handlers_.按钮2Click = [this] { ++clicks[1]; };
    handlers_.按钮3Click = [this] { ++clicks[2]; };
    handlers_.按钮4Click = [this] { ++clicks[3]; };
  }

  void Make() {
    window.SetEventHandlers(handlers_);
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
  }

  void TearDown() override {
    if (window.Handle() != nullptr) ::DestroyWindow(window.Handle());
    Pump(20ms);  // takes the quit request of WM_DESTROY
  }

  HWND Of(Control control) const { return window.ControlHandle(control); }

  EventHandlers handlers_;
  MainWindow window;
  int ticks[7] = {};
  int clicks[4] = {};
};

TEST_F(MainWindowTest, WindowIsCentredWithItsOuterSizeCaptionAndFrame) {
  Make();
  HWND main = window.Handle();
  RECT outer{};
  ::GetWindowRect(main, &outer);
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(outer.right - outer.left, 500);
  EXPECT_EQ(outer.bottom - outer.top, 376);
  EXPECT_EQ(outer.left, (screenWidth - 500) / 2) << screenWidth << "x" << screenHeight;
  EXPECT_EQ(outer.top, (screenHeight - 376) / 2);
  EXPECT_EQ(TextOf(main), Text("柘桥"));

  const LONG style = ::GetWindowLongW(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the window cannot be resized";
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_EQ(::GetMenu(main), nullptr);
  EXPECT_EQ(::GetWindow(main, GW_OWNER), nullptr) << "its own taskbar button";
  EXPECT_FALSE(::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(::GetClassLongPtrW(main, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_EQ(::GetForegroundWindow(), main) << "shown and activated";
}

TEST_F(MainWindowTest, EveryControlIsMadeAsTheDescriptionSays) {
  Make();
  HFONT defaultFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  for (std::size_t index = 0; index < kVisibleControlCount; ++index) {
    const Control control = *ControlAt(index);
    const ControlDescription& description = DescriptionOf(control);
    SCOPED_TRACE(description.name);
    HWND handle = Of(control);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(::GetParent(handle), window.Handle());

    const RECT place = ClientPlace(handle);
    EXPECT_EQ(place.left, description.left);
    EXPECT_EQ(place.top, description.top);
    EXPECT_EQ(place.right - place.left, description.width);
    EXPECT_EQ(place.bottom - place.top, description.height);
    EXPECT_EQ(TextOf(handle), Text(description.text));
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(handle, WM_GETFONT, 0, 0)), defaultFont);
    EXPECT_TRUE(::IsWindowVisible(handle));

    const LONG style = ::GetWindowLongW(handle, GWL_STYLE);
    const LONG extended = ::GetWindowLongW(handle, GWL_EXSTYLE);
    switch (description.kind) {
      case ControlKind::Label:
        EXPECT_EQ(ClassOf(handle), L"Static");
        EXPECT_TRUE(::IsWindowEnabled(handle));
        EXPECT_FALSE(style & WS_TABSTOP);
        EXPECT_FALSE(style & WS_BORDER);
        if (control == Control::标签8) {
          EXPECT_EQ(style & SS_TYPEMASK, SS_OWNERDRAW) << "drawn with its raised look";
        } else {
          EXPECT_EQ(style & SS_TYPEMASK, SS_LEFTNOWORDWRAP) << "one line, never wrapped";
          EXPECT_TRUE(style & SS_CENTERIMAGE) << "vertically centred";
        }
        break;
      case ControlKind::EditBox:
        EXPECT_EQ(ClassOf(handle), L"Edit");
        EXPECT_FALSE(::IsWindowEnabled(handle));
        EXPECT_TRUE(style & ES_CENTER);
        EXPECT_TRUE(style & ES_AUTOHSCROLL);
        EXPECT_FALSE(style & ES_MULTILINE);
        EXPECT_FALSE(style & ES_NOHIDESEL) << "selection hidden without focus";
        EXPECT_TRUE(extended & WS_EX_STATICEDGE);
        EXPECT_GE(::SendMessageW(handle, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE) << "no length limit";
        break;
      case ControlKind::Button:
        EXPECT_EQ(ClassOf(handle), L"Button");
        EXPECT_TRUE(::IsWindowEnabled(handle));
        EXPECT_TRUE(style & WS_TABSTOP);
        EXPECT_TRUE(style & BS_MULTILINE);
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "not the default button";
        EXPECT_EQ(style & BS_CENTER, BS_CENTER);
        EXPECT_EQ(style & BS_VCENTER, BS_VCENTER);
        break;
      case ControlKind::Timer:
        ADD_FAILURE() << "a timer among the visible controls";
        break;
    }
  }
  // Nothing but the 20 visible controls is a child of the window: timers are
  // no windows.
  int children = 0;
  for (HWND child = ::GetWindow(window.Handle(), GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    ++children;
  }
  EXPECT_EQ(children, static_cast<int>(kVisibleControlCount));
}

TEST_F(MainWindowTest, TabVisitsOnlyTheEnabledButtons) {
  Make();
  HWND main = window.Handle();
  HWND buttons[] = {Of(Control::按钮1), Of(Control::按钮2), Of(Control::按钮3), Of(Control::按钮4)};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(::GetNextDlgTabItem(main, buttons[i], FALSE), buttons[(i + 1) % 4]);
    EXPECT_EQ(::GetNextDlgTabItem(main, buttons[i], TRUE), buttons[(i + 3) % 4]);
  }

  // A real Tab key through IsDialogMessage, as the main loop passes it.
  ::SetFocus(buttons[0]);
  MSG tab{buttons[0], WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_TRUE(::IsDialogMessageW(main, &tab));
  EXPECT_EQ(::GetFocus(), buttons[1]);

  window.DisableControl(Control::按钮2);
  EXPECT_NE(::GetFocus(), buttons[1]) << "a disabled button keeps no focus";
  EXPECT_EQ(::GetFocus(), buttons[2]) << "the focus moves on to the next button";
  EXPECT_EQ(::GetNextDlgTabItem(main, buttons[0], FALSE), buttons[2]);
  EXPECT_EQ(::GetNextDlgTabItem(main, buttons[2], TRUE), buttons[0]);
}

TEST_F(MainWindowTest, EnterAndEscClickNothingWhenNoButtonHasTheFocus) {
  Make();
  HWND main = window.Handle();
  ::SetFocus(main);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    MSG press{main, WM_KEYDOWN, key, 0, 0, {}};
    ::IsDialogMessageW(main, &press);
    MSG character{main, WM_CHAR, key == VK_RETURN ? WPARAM{'\r'} : WPARAM{27}, 0, 0, {}};
    ::IsDialogMessageW(main, &character);
  }
  Pump(50ms);
  EXPECT_EQ(clicks[0] + clicks[1] + clicks[2] + clicks[3], 0);
  EXPECT_NE(window.Handle(), nullptr) << "Esc does not close the window";
}

TEST_F(MainWindowTest, ClicksReachTheirHandlersAndEditNotificationsDoNot) {
  Make();
  ::SendMessageW(Of(Control::按钮3), BM_CLICK, 0, 0);
  ::SendMessageW(Of(Control::按钮1), BM_CLICK, 0, 0);
  window.SetText(Control::编辑框1, "x");  // EN_CHANGE and EN_UPDATE reach the window
  Pump(20ms);
  EXPECT_EQ(clicks[0], 1);
  EXPECT_EQ(clicks[1], 0);
  EXPECT_EQ(clicks[2], 1);
  EXPECT_EQ(clicks[3], 0);
}

TEST_F(MainWindowTest, TimersTickOnlyAfterTheWindowIsMadeAndCoalesce) {
  Make();
  ::Sleep(100);  // several periods of the 10 ms timers pass without a pump
  EXPECT_EQ(ticks[2] + ticks[3] + ticks[4] + ticks[5], 0) << "no handler runs while making";

  // One pass over the queue: ten periods have passed, but each timer has at
  // most one tick waiting (a generous bound allows for a slow pass).
  MSG message{};
  while (::PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    ::DispatchMessageW(&message);
    if (ticks[2] > 3) break;
  }
  EXPECT_GE(ticks[2], 1);
  EXPECT_LE(ticks[2], 3);

  EXPECT_TRUE(PumpUntil([&] { return ticks[1] >= 1 && ticks[0] >= 1 && ticks[6] >= 1; }))
      << "the 1000 ms timers tick too";
}

TEST_F(MainWindowTest, DestroyedTimerNeverTicksAgainNotEvenATickAlreadyPosted) {
  handlers_.时钟3Tick = [this] {
    ++ticks[2];
    // Guarded, so that a fault shows as a second tick, not as the fatal stop
    // of a second DestroyTimer.
    if (window.TimerAlive(Timer::时钟3)) window.DestroyTimer(Timer::时钟3);
  };
  Make();
  EXPECT_TRUE(PumpUntil([&] { return ticks[2] >= 1; }));
  EXPECT_FALSE(window.TimerAlive(Timer::时钟3));
  ::PostMessageW(window.Handle(), WM_TIMER, MainWindow::TimerId(Timer::时钟3), 0);
  Pump(200ms);
  EXPECT_EQ(ticks[2], 1);

  // A tick already waiting when the timer is destroyed is dropped too.
  ::PostMessageW(window.Handle(), WM_TIMER, MainWindow::TimerId(Timer::时钟4), 0);
  window.DestroyTimer(Timer::时钟4);
  const int before = ticks[3];
  Pump(200ms);
  EXPECT_EQ(ticks[3], before);
  EXPECT_TRUE(window.TimerAlive(Timer::时钟5));
}

TEST_F(MainWindowTest, SetFontChangesOneFieldAndKeepsTheOthers) {
  Make();
  HWND label = Of(Control::标签8);
  const LOGFONTW before = FontOf(label);
  window.SetFont(Control::标签8, FontChange::Size(15));
  window.SetFont(Control::标签8, FontChange::Face("黑体"));
  const LOGFONTW after = FontOf(label);
  EXPECT_EQ(after.lfHeight, HeightForPointSize(15, ScreenDpiY()));
  EXPECT_EQ(TextFromWide(after.lfFaceName), Text("黑体"));
  EXPECT_NE(after.lfWeight, kBoldWeight);
  EXPECT_EQ(after.lfItalic, before.lfItalic);
  EXPECT_EQ(after.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(after.lfQuality, PROOF_QUALITY);
  EXPECT_EQ(after.lfPitchAndFamily, DEFAULT_PITCH);

  window.SetFont(Control::按钮2, FontChange::Bold(true));
  window.SetFont(Control::按钮2, FontChange::Angle(-900));
  window.SetFont(Control::按钮2, FontChange::Italic(true));
  window.SetFont(Control::按钮2, FontChange::Underline(true));
  window.SetFont(Control::按钮2, FontChange::Strikeout(true));
  window.SetFont(Control::按钮2, FontChange::Face(""));
  const LOGFONTW button = FontOf(Of(Control::按钮2));
  EXPECT_EQ(button.lfWeight, kBoldWeight);
  EXPECT_EQ(button.lfEscapement, 2700);
  EXPECT_EQ(button.lfOrientation, 2700);
  EXPECT_TRUE(button.lfItalic);
  EXPECT_TRUE(button.lfUnderline);
  EXPECT_TRUE(button.lfStrikeOut);
  EXPECT_EQ(TextFromWide(button.lfFaceName), Text("宋体"));
  EXPECT_EQ(button.lfHeight, before.lfHeight) << "the size of the default GUI font stays";
}

// The network-time readout sets 标签8's font every second for the whole run.
TEST_F(MainWindowTest, SetFontFreesTheFontItReplaces) {
  Make();
  const DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  HFONT previous = nullptr;
  for (int tick = 0; tick < 300; ++tick) {
    window.SetFont(Control::标签8, FontChange::Size(15));
    window.SetFont(Control::标签8, FontChange::Face("黑体"));
    window.SetFont(Control::编辑框1, FontChange::Size(9 + tick % 3));
    HFONT current = reinterpret_cast<HFONT>(::SendMessageW(Of(Control::标签8), WM_GETFONT, 0, 0));
    ASSERT_EQ(::GetObjectType(current), static_cast<DWORD>(OBJ_FONT));
    if (previous != nullptr && previous != current) {
      ASSERT_EQ(::GetObjectType(previous), 0u) << "the replaced font is freed, at tick " << tick;
    }
    previous = current;
  }
  Pump(20ms);
  // Wine answers 0 here; on Windows the count must stay flat.
  const DWORD gdiAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  EXPECT_LE(gdiAfter, gdiBefore + 4) << gdiBefore << " -> " << gdiAfter;

  ::DestroyWindow(window.Handle());
  EXPECT_EQ(::GetObjectType(previous), 0u) << "the window's own fonts go with it";
}

TEST_F(MainWindowTest, EditBoxGrowsToFitTheNewFontAndNeverShrinks) {
  Make();
  HWND edit = Of(Control::编辑框7);
  window.SetFont(Control::编辑框7, FontChange::Size(9));
  RECT place = ClientPlace(edit);
  EXPECT_EQ(place.bottom - place.top, 32) << "a small font fits";

  window.SetFont(Control::编辑框7, FontChange::Size(40));
  HDC dc = ::GetDC(edit);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)));
  const std::wstring sample = WideFromText("吴");
  SIZE size{};
  ::GetTextExtentPoint32W(dc, sample.c_str(), static_cast<int>(sample.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(edit, dc);
  place = ClientPlace(edit);
  EXPECT_EQ(place.bottom - place.top, size.cy + 2 * ::GetSystemMetrics(SM_CXEDGE));
  EXPECT_EQ(place.left, 80) << "it keeps its place and width";
  EXPECT_EQ(place.top, 193);
  EXPECT_EQ(place.right - place.left, 161);

  const int grown = place.bottom - place.top;
  window.SetFont(Control::编辑框7, FontChange::Size(9));
  place = ClientPlace(edit);
  EXPECT_EQ(place.bottom - place.top, grown);

  window.SetFont(Control::标签1, FontChange::Size(40));
  place = ClientPlace(Of(Control::标签1));
  EXPECT_EQ(place.bottom - place.top, 32) << "only edit boxes grow";
}

TEST_F(MainWindowTest, TextsReachTheControlsThroughCodePage936) {
  Make();
  window.SetText(Control::编辑框2, "2019年10月4日14时31分42秒");
  EXPECT_EQ(TextOf(Of(Control::编辑框2)), Text("2019年10月4日14时31分42秒"));
  window.SetCaption(Control::按钮1, "已经成功同步");
  EXPECT_EQ(TextOf(Of(Control::按钮1)), Text("已经成功同步"));

  // A single-line box keeps a text with CR LF on one line.
  window.SetText(Control::编辑框3, "192.168.1.2\r\n10.0.0.1");
  EXPECT_EQ(::SendMessageW(Of(Control::编辑框3), EM_GETLINECOUNT, 0, 0), 1);

  window.DisableControl(Control::按钮4);
  EXPECT_FALSE(::IsWindowEnabled(Of(Control::按钮4)));
  window.EnableControl(Control::按钮4);
  EXPECT_TRUE(::IsWindowEnabled(Of(Control::按钮4)));
}

// Finds the message box of this process, reads it, and answers it with OK.
struct MessageBoxReader {
  Text title;
  Text text;
  bool found = false;
  bool mainWindowDisabled = false;
  bool hasIcon = true;
  bool onlyOk = false;
  bool owned = true;

  void Run(HWND mainWindow) {
    for (int i = 0; i < 1000 && !found; ++i) {
      std::this_thread::sleep_for(10ms);
      HWND box = ::FindWindowW(L"#32770", nullptr);
      DWORD process = 0;
      if (box == nullptr) continue;
      ::GetWindowThreadProcessId(box, &process);
      if (process != ::GetCurrentProcessId() || !::IsWindowVisible(box)) continue;
      found = true;
      title = TextOf(box);
      text = TextOf(::GetDlgItem(box, 0xFFFF));
      mainWindowDisabled = !::IsWindowEnabled(mainWindow);
      hasIcon = ::GetDlgItem(box, 0x14) != nullptr;  // the icon's static
      onlyOk = ::GetDlgItem(box, IDOK) != nullptr && ::GetDlgItem(box, IDCANCEL) == nullptr &&
               ::GetDlgItem(box, IDYES) == nullptr;
      owned = ::GetWindow(box, GW_OWNER) != nullptr;
      std::this_thread::sleep_for(300ms);  // let a few ticks run inside the box
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  }
};

TEST_F(MainWindowTest, ShowMessageIsTaskModalWithOkOnlyAndNoIcon) {
  Make();
  Pump(50ms);
  MessageBoxReader reader;
  std::thread answer([&] { reader.Run(window.Handle()); });
  window.ShowMessage("同步成功");
  answer.join();

  ASSERT_TRUE(reader.found);
  EXPECT_EQ(reader.title, Text("信息：")) << "the default title";
  EXPECT_EQ(reader.text, Text("同步成功"));
  EXPECT_TRUE(reader.mainWindowDisabled) << "task-modal";
  EXPECT_FALSE(reader.hasIcon);
  EXPECT_TRUE(reader.onlyOk);
  EXPECT_FALSE(reader.owned);
  EXPECT_TRUE(::IsWindowEnabled(window.Handle())) << "enabled again after the box";

  MessageBoxReader titled;
  std::thread answerTitled([&] { titled.Run(window.Handle()); });
  window.ShowMessage("正文", "标题");
  answerTitled.join();
  EXPECT_EQ(titled.title, Text("标题"));
}

TEST_F(MainWindowTest, TicksRunInsideAMessageBox) {
  handlers_.时钟3Tick = [this] { ++ticks[2]; };  // never destroyed: keeps ticking
  Make();
  Pump(50ms);
  MessageBoxReader reader;
  std::thread answer([&] { reader.Run(window.Handle()); });
  const int before = ticks[2];
  window.ShowMessage("x");
  const int insideBox = ticks[2] - before;
  answer.join();
  EXPECT_GT(insideBox, 0) << "the 10 ms timer ticked while the box was open";
}

// The console runner waits in ProcessPendingEvents: ticks run nested there.
TEST_F(MainWindowTest, TicksRunInsideProcessPendingEvents) {
  int ticksInside = 0;
  handlers_.按钮2Click = [&] {
    const int before = ticks[2];
    for (int pass = 0; pass < 20; ++pass) {
      ::Sleep(10);
      ProcessPendingEvents();
    }
    ticksInside = ticks[2] - before;
  };
  Make();
  ::SendMessageW(Of(Control::按钮2), BM_CLICK, 0, 0);
  EXPECT_GT(ticksInside, 0);
}

// A handler that dispatches messages while it waits (as WinHTTP's synchronous
// Send does in a single-threaded apartment) is not entered again by its own
// timer's ticks; other timers still tick inside it. Without that, a one-shot
// handler destroys its timer twice, which is a fatal stop.
TEST_F(MainWindowTest, TickHandlerIsNotEnteredAgainByItsOwnTimerWhileItWaits) {
  int depth = 0;
  int deepest = 0;
  int otherTicksInside = 0;
  handlers_.时钟6Tick = [&] {
    ++ticks[5];
    deepest = std::max(deepest, ++depth);
    const int before = ticks[2];
    for (int pass = 0; pass < 10; ++pass) {
      ::Sleep(20);  // two periods of the 10 ms timers
      ProcessPendingEvents();
    }
    otherTicksInside += ticks[2] - before;
    if (window.TimerAlive(Timer::时钟6)) window.DestroyTimer(Timer::时钟6);
    --depth;
  };
  handlers_.时钟3Tick = [this] { ++ticks[2]; };  // never destroyed: keeps ticking
  Make();
  EXPECT_TRUE(PumpUntil([&] { return ticks[5] >= 1 && depth == 0; }));
  Pump(100ms);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(ticks[5], 1);
  EXPECT_GT(otherTicksInside, 0);
}

// A second click on a button whose handler still waits (the clock sync waits
// for the time server) is dropped; another button's click still runs inside.
TEST_F(MainWindowTest, ClickHandlerIsNotEnteredAgainByItsOwnButtonWhileItWaits) {
  int syncClicks = 0;
  int dnsClicksInside = 0;
  handlers_.按钮2Click = [&] { ++dnsClicksInside; };
  handlers_.按钮1Click = [&] {
    ++syncClicks;
    ::PostMessageW(Of(Control::按钮1), BM_CLICK, 0, 0);
    ::PostMessageW(Of(Control::按钮2), BM_CLICK, 0, 0);
    for (int pass = 0; pass < 10; ++pass) {
      ::Sleep(10);
      ProcessPendingEvents();
    }
  };
  Make();
  ::SendMessageW(Of(Control::按钮1), BM_CLICK, 0, 0);
  EXPECT_EQ(syncClicks, 1);
  EXPECT_EQ(dnsClicksInside, 1);
}

TEST_F(MainWindowTest, ClosingEndsTheLoopWithExitCodeZero) {
  Make();
  ::PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
  MSG message{};
  bool quit = false;
  for (int i = 0; i < 1000 && !quit; ++i) {
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        break;
      }
      ::DispatchMessageW(&message);
    }
    if (!quit) ::Sleep(5);
  }
  ASSERT_TRUE(quit);
  EXPECT_EQ(message.wParam, 0u);
  EXPECT_EQ(window.Handle(), nullptr);
}

// Closing while a handler waits in ProcessPendingEvents destroys the window
// at once, but the quit request waits until the handler has returned; the
// view calls the handler makes afterwards do no harm.
TEST_F(MainWindowTest, ClosingInsideProcessPendingEventsLeavesTheQuitForTheMainLoop) {
  bool goneInside = false;
  bool quitWaitingInside = false;
  handlers_.按钮2Click = [&] {
    ::PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    ProcessPendingEvents();
    goneInside = window.Handle() == nullptr;
    MSG waiting{};
    quitWaitingInside =
        ::PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE) && waiting.message == WM_QUIT;
    window.SetText(Control::编辑框1, "x");
    window.SetCaption(Control::按钮2, "x");
    window.SetFont(Control::标签8, FontChange::Size(15));
    window.DisableControl(Control::按钮2);
    window.EnableControl(Control::按钮2);
    window.DestroyTimer(Timer::时钟5);
    window.ShowMessage("不会出现");
  };
  Make();
  ::SendMessageW(Of(Control::按钮2), BM_CLICK, 0, 0);
  EXPECT_TRUE(goneInside);
  EXPECT_TRUE(quitWaitingInside);
  EXPECT_TRUE(Pump(20ms)) << "the main loop takes the quit request";
}

// A wait that takes every message, the quit request included (as WinHTTP's
// synchronous Send does under Wine), swallows the quit of a close inside the
// handler: it is asked for again once the handler has returned, so the
// process still ends instead of running on without a window.
TEST_F(MainWindowTest, ClosingInsideAWaitThatTakesTheQuitStillEndsTheLoop) {
  bool quitTakenInside = false;
  handlers_.按钮2Click = [&] {
    ::PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    for (int pass = 0; pass < 100 && !quitTakenInside; ++pass) {
      MSG message{};
      while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) quitTakenInside = true;
        ::DispatchMessageW(&message);
      }
      ::Sleep(1);
    }
  };
  Make();
  ::SendMessageW(Of(Control::按钮2), BM_CLICK, 0, 0);
  EXPECT_TRUE(quitTakenInside);
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_TRUE(Pump(20ms)) << "the main loop gets the quit request again";
}

}  // namespace
