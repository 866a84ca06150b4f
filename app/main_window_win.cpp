// MainWindow on Win32: the window class and procedure, the controls made from
// the window description, the dispatch of ticks and clicks to their handlers,
// and the View operations. Every text reaches the wide API converted from code
// page 936, so the window reads right whatever the system's ANSI code page is.
// Implementation here must contain only Win32 specific code.
#include "app/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <new>
#include <optional>
#include <string>

#include "app/font_change.h"
#include "core/fatal.h"

namespace {

constexpr wchar_t kClassName[] = L"ZheqiaoMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Control ids start above IDOK (1) and IDCANCEL (2), which IsDialogMessage
// sends for Enter and Esc: those keys must not click anything.
constexpr int kFirstControlId = 100;
// Timer ids are the timer's position plus one (0 is no valid id for SetTimer).
constexpr UINT_PTR kFirstTimerId = 1;

int ControlId(std::size_t index) {
  return kFirstControlId + static_cast<int>(index);
}

HFONT DefaultGuiFont() {
  return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

FontFields FieldsOf(const LOGFONTW& font) {
  FontFields fields;
  fields.height = font.lfHeight;
  fields.angle = font.lfEscapement;
  fields.weight = font.lfWeight;
  fields.italic = font.lfItalic != 0;
  fields.underline = font.lfUnderline != 0;
  fields.strikeout = font.lfStrikeOut != 0;
  fields.face = TextFromWide(font.lfFaceName);
  return fields;
}

// The current font with the changed fields, and the settings every new font
// gets: the default character set, proof quality and the default pitch.
LOGFONTW WithFields(const LOGFONTW& current, const FontFields& fields) {
  LOGFONTW font = current;
  font.lfHeight = fields.height;
  font.lfEscapement = fields.angle;
  font.lfOrientation = fields.angle;
  font.lfWeight = fields.weight;
  font.lfItalic = fields.italic ? TRUE : FALSE;
  font.lfUnderline = fields.underline ? TRUE : FALSE;
  font.lfStrikeOut = fields.strikeout ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH;
  const std::wstring face = WideFromText(fields.face);
  const std::size_t length = std::min(face.size(), std::size(font.lfFaceName) - 1);
  face.copy(font.lfFaceName, length);
  font.lfFaceName[length] = L'\0';
  return font;
}

int ScreenDpiY() {
  HDC screen = ::GetDC(nullptr);
  const int dpiY = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpiY;
}

// The height of "吴" drawn in the font.
int CharacterHeight(HWND control, HFONT font) {
  HDC dc = ::GetDC(control);
  if (dc == nullptr) return 0;
  HGDIOBJ previous = ::SelectObject(dc, font);
  const std::wstring sample = WideFromText("吴");
  SIZE size{};
  ::GetTextExtentPoint32W(dc, sample.c_str(), static_cast<int>(sample.size()), &size);
  ::SelectObject(dc, previous);
  ::ReleaseDC(control, dc);
  return size.cy;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExW(instance, kClassName, &existing)) return true;

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  // The program's icon as large and small window icon. A test program has no
  // such resource: the window then has the system's default icon.
  windowClass.hIcon = static_cast<HICON>(::LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXICON),
                                                      ::GetSystemMetrics(SM_CYICON), LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(
      ::LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace

MainWindow::~MainWindow() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

bool MainWindow::Create(HINSTANCE instance) {
  if (window_ != nullptr) return false;
  // The version 6 common controls of the manifest (visual styles) need
  // comctl32 loaded before the first control is made.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!RegisterWindowClass(instance, &MainWindow::Procedure)) return false;

  const MainWindowDescription& settings = MainWindowSettings();
  const WindowPosition position =
      CentredPosition(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  timerAlive_.fill(false);
  // The procedure keeps the handle in window_ at WM_NCCREATE and clears it at
  // WM_NCDESTROY, so window_ says whether the window exists.
  // cppcheck-suppress ignoredReturnValue ; window_ holds the result
  ::CreateWindowExW(0, kClassName, WideFromText(settings.caption).c_str(), kWindowStyle,
                    position.left, position.top, settings.outerWidth, settings.outerHeight,
                    nullptr,  // no owner: the window has its own taskbar button
                    nullptr,  // no menu
                    instance, this);
  if (window_ == nullptr) return false;
  if (!CreateControls(instance)) {
    ::DestroyWindow(window_);
    return false;
  }
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
  ready_ = true;
  return true;
}

bool MainWindow::CreateControls(HINSTANCE instance) {
  const auto& descriptions = ControlDescriptions();
  for (std::size_t index = 0; index < descriptions.size(); ++index) {
    const ControlDescription& description = descriptions[index];
    if (const std::optional<Timer> timer = TimerAt(index)) {
      if (::SetTimer(window_, TimerId(*timer), static_cast<UINT>(description.periodMs), nullptr) ==
          0) {
        return false;
      }
      timerAlive_[static_cast<std::size_t>(*timer)] = true;
      continue;
    }

    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD extendedStyle = 0;
    switch (description.kind) {
      case ControlKind::Label:
        // 标签8 is word-wrapped from the top with its raised look, drawn by
        // the program; the other labels are one line, vertically centred
        // (SS_CENTERIMAGE implies a single line) and never wrapped.
        style |= index == IndexOf(Control::标签8)
                     ? SS_OWNERDRAW
                     : SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX;
        break;
      case ControlKind::EditBox:
        className = L"EDIT";
        // Disabled: the program alone fills it; the selection is hidden while
        // the box has no focus because ES_NOHIDESEL is not set.
        style |= WS_DISABLED | ES_CENTER | ES_AUTOHSCROLL;
        extendedStyle = WS_EX_STATICEDGE;
        break;
      case ControlKind::Button:
        className = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
        break;
      case ControlKind::Timer:
        break;
    }
    HWND control = ::CreateWindowExW(
        extendedStyle, className, WideFromText(description.text).c_str(), style, description.left,
        description.top, description.width, description.height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(index))), instance, nullptr);
    if (control == nullptr) return false;
    controls_[index] = control;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    if (description.kind == ControlKind::EditBox) {
      ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // 0: the largest limit there is
    }
  }
  return true;
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  // Nothing may throw across the window procedure. The handlers and the
  // drawing throw only when memory runs out (the standard containers), which
  // is a fatal stop.
  try {
    return self->HandleMessage(window, message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    StopWithError("内存不足，程序无法继续运行。");
  } catch (const std::exception& error) {
    StopWithError(Text("程序内部错误：") + Text(error.what()));
  } catch (...) {
    StopWithError("程序内部错误。");
  }
}

LRESULT MainWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_CTLCOLORSTATIC:
      // Labels: black text on the button face. Disabled edit boxes send this
      // message too; they keep the system's look of a disabled box.
      if (IsLabel(reinterpret_cast<HWND>(lParam))) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.hwndItem == ControlHandle(Control::标签8)) {
        DrawRaisedLabel(item);
        return TRUE;
      }
      break;
    }
    case WM_ACTIVATE:
      if (OnActivate(wParam)) return 0;
      break;
    case WM_DESTROY:
      // No window of the program is left: end the main loop with exit code 0.
      // A handler waiting in ProcessPendingEvents returns first, because that
      // pump leaves the quit request to the main loop.
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      OnDestroyed();
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::OnTimer(WPARAM timerId) {
  if (timerId < kFirstTimerId || timerId >= kFirstTimerId + kTimerCount) return;
  const auto timer = static_cast<Timer>(timerId - kFirstTimerId);
  // KillTimer does not take back a WM_TIMER that was already posted: a tick
  // of a destroyed timer is dropped here.
  if (!ready_ || !TimerAlive(timer)) return;
  RunUnlessRunning(tickRunning_[static_cast<std::size_t>(timer)], handlers_.OnTick(timer));
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED || !ready_) return;
  const int id = LOWORD(wParam);
  if (id < kFirstControlId) return;  // IDOK and IDCANCEL from Enter and Esc
  const std::optional<Control> control = ControlAt(static_cast<std::size_t>(id - kFirstControlId));
  if (!control || ControlHandle(*control) != reinterpret_cast<HWND>(lParam)) return;
  if (const std::function<void()>* handler = handlers_.OnClick(*control)) {
    RunUnlessRunning(clickRunning_[static_cast<std::size_t>(*control)], *handler);
  }
}

// A window that is not a dialog loses the focus of its controls when it is
// deactivated; give it back, so Tab goes on from the same button. True when
// the focus was given back (the default handling would put it on the window).
bool MainWindow::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = ::GetFocus();
    savedFocus_ = (focus != nullptr && ::IsChild(window_, focus)) ? focus : nullptr;
    return false;
  }
  if (savedFocus_ == nullptr || !::IsWindowEnabled(savedFocus_)) return false;
  ::SetFocus(savedFocus_);
  return true;
}

void MainWindow::DrawRaisedLabel(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT place = item.rcItem;
  ::FillRect(dc, &place, ::GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ previousFont = ::SelectObject(dc, FontOf(Control::标签8));
  const int previousMode = ::SetBkMode(dc, TRANSPARENT);
  const std::wstring text = WindowText(item.hwndItem);
  constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX;
  // The raised look: white one pixel right and down, then black in place.
  RECT shadow = place;
  ::OffsetRect(&shadow, 1, 1);
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadow, kFormat);
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, kFormat);
  ::SetBkMode(dc, previousMode);
  ::SelectObject(dc, previousFont);
}

// A handler is never entered again while it is still running: such a tick
// or click is dropped, like any tick that falls due while the thread is busy.
// A handler's waits may dispatch messages (a message box, the console runner,
// and the WinHTTP object's synchronous Send in a single-threaded apartment);
// entering it a second time would fetch twice, and a one-shot handler would
// destroy its timer twice, which is a fatal stop.
void MainWindow::RunUnlessRunning(bool& running, const std::function<void()>& handler) {
  if (running) return;
  running = true;
  Run(handler);
  running = false;
}

// An empty slot has no handler: the event does only what the system does.
void MainWindow::Run(const std::function<void()>& handler) {
  if (handler) handler();
  // The window was closed while the handler waited. A wait that takes every
  // message (WinHTTP's synchronous Send under Wine) removes the quit request
  // of WM_DESTROY too, and the process would run on without a window: ask
  // again now that the handler has returned.
  if (window_ == nullptr) ::PostQuitMessage(0);
}

void MainWindow::OnDestroyed() {
  // The controls are gone (children are destroyed before their parent's
  // WM_NCDESTROY), so their fonts can go too. The system has removed the
  // timers with the window; their record stays, so that a second
  // DestroyTimer is still caught.
  window_ = nullptr;
  controls_.fill(nullptr);
  for (ScopedFont& font : fonts_) font.Reset();
  savedFocus_ = nullptr;
  ready_ = false;
}

HWND MainWindow::ControlHandle(Control control) const {
  return controls_.at(IndexOf(control));
}

UINT_PTR MainWindow::TimerId(Timer timer) {
  return kFirstTimerId + static_cast<UINT_PTR>(timer);
}

bool MainWindow::TimerAlive(Timer timer) const {
  return timerAlive_.at(static_cast<std::size_t>(timer));
}

HFONT MainWindow::FontOf(Control control) const {
  HFONT own = fonts_.at(IndexOf(control)).Get();
  return own != nullptr ? own : DefaultGuiFont();
}

bool MainWindow::IsLabel(HWND control) const {
  if (control == nullptr) return false;
  for (std::size_t index = 0; index < kVisibleControlCount; ++index) {
    if (controls_[index] == control) {
      return ControlDescriptions()[index].kind == ControlKind::Label;
    }
  }
  return false;
}

void MainWindow::SetText(Control editBox, const Text& text) {
  if (HWND control = ControlHandle(editBox)) ::SetWindowTextW(control, WideFromText(text).c_str());
}

void MainWindow::SetCaption(Control button, const Text& caption) {
  if (HWND control = ControlHandle(button)) {
    ::SetWindowTextW(control, WideFromText(caption).c_str());
  }
}

void MainWindow::SetFont(Control control, const FontChange& change) {
  HWND handle = ControlHandle(control);
  if (handle == nullptr) return;
  // Each call starts from the control's current font.
  LOGFONTW current{};
  if (::GetObjectW(FontOf(control), sizeof current, &current) == 0) return;
  const FontFields fields = ApplyFontChange(FieldsOf(current), change, ScreenDpiY());
  const LOGFONTW next = WithFields(current, fields);
  ScopedFont font(::CreateFontIndirectW(&next));
  if (font.Get() == nullptr) return;

  ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  ::InvalidateRect(handle, nullptr, TRUE);
  // The control draws with the new font now: the one it replaces is freed.
  fonts_.at(IndexOf(control)) = std::move(font);

  if (DescriptionOf(control).kind == ControlKind::EditBox) {
    RECT place{};
    ::GetWindowRect(handle, &place);
    const int height = place.bottom - place.top;
    const int needed = EditBoxHeightForFont(height, CharacterHeight(handle, FontOf(control)),
                                            ::GetSystemMetrics(SM_CXEDGE));
    if (needed != height) {
      ::SetWindowPos(handle, nullptr, 0, 0, place.right - place.left, needed,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void MainWindow::DisableControl(Control control) {
  HWND handle = ControlHandle(control);
  if (handle == nullptr) return;
  const bool hadFocus = ::GetFocus() == handle;
  ::EnableWindow(handle, FALSE);
  if (savedFocus_ == handle) savedFocus_ = nullptr;
  // A disabled control keeps no focus; without a focus in the window, keys
  // would reach it as WM_SYSKEYDOWN and Tab would stop working. Move on to
  // the next enabled tab stop, or to the window itself.
  if (hadFocus) {
    HWND next = ::GetNextDlgTabItem(window_, handle, FALSE);
    ::SetFocus(next != nullptr && next != handle ? next : window_);
  }
}

void MainWindow::EnableControl(Control control) {
  if (HWND handle = ControlHandle(control)) ::EnableWindow(handle, TRUE);
}

void MainWindow::DestroyTimer(Timer timer) {
  bool& alive = timerAlive_.at(static_cast<std::size_t>(timer));
  if (!alive) StopWithError(TimerName(timer) + "已经销毁，不能再次销毁。");
  alive = false;
  if (window_ != nullptr) ::KillTimer(window_, TimerId(timer));
}

void MainWindow::ShowMessage(const Text& text, const Text& title) {
  // After the window has been closed, the program is only finishing a
  // handler on its way out: a box would come up with no window behind it.
  if (window_ == nullptr) return;
  // No owner and task-modal: the program's windows are disabled while it is
  // open, and its message loop still dispatches the ticks of live timers.
  ::MessageBoxW(nullptr, WideFromText(text).c_str(), WideFromText(title).c_str(),
                MB_OK | MB_TASKMODAL);
}
