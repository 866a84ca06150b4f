// MainWindow: the Win32 main window with its 27 controls, made from the window
// description, and the View operations the handlers use on it.
// Implementation here must contain only Win32 specific code.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "app/event_handlers.h"
#include "app/view.h"
#include "app/window_description.h"
#include "core/win32.h"

// Owns one font (DeleteObject). Null means "no font of our own".
class ScopedFont {
 public:
  ScopedFont() = default;
  explicit ScopedFont(HFONT font) : font_(font) {}
  ScopedFont(ScopedFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
  ScopedFont& operator=(ScopedFont&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.font_, nullptr));
    return *this;
  }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;
  ~ScopedFont() { Reset(); }

  HFONT Get() const { return font_; }
  void Reset(HFONT font = nullptr) {
    if (font_ != nullptr) ::DeleteObject(font_);
    font_ = font;
  }

 private:
  HFONT font_ = nullptr;
};

class MainWindow final : public View {
 public:
  MainWindow() = default;
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The handlers the window runs from now on. Set them before Create.
  void SetEventHandlers(EventHandlers handlers) { handlers_ = std::move(handlers); }

  // Makes the window centred on the primary screen, then the controls in the
  // order of the description (each timer starts counting as soon as it
  // exists), then shows and activates the window. No handler runs before this
  // returns. False when the window or a control cannot be made.
  bool Create(HINSTANCE instance);

  // The window, or nullptr before Create and once it has been destroyed.
  HWND Handle() const { return window_; }
  // A control's window, or nullptr when there is none (any more).
  HWND ControlHandle(Control control) const;
  // Whether a timer still exists (it was not destroyed with DestroyTimer).
  bool TimerAlive(Timer timer) const;
  // The id of a timer's WM_TIMER messages.
  static UINT_PTR TimerId(Timer timer);

  // The View operations. Once the window is gone they do nothing, except
  // that destroying a timer twice still ends through StopWithError.
  void SetText(Control editBox, const Text& text) override;
  void SetCaption(Control button, const Text& caption) override;
  void SetFont(Control control, const FontChange& change) override;
  void DisableControl(Control control) override;
  void EnableControl(Control control) override;
  void DestroyTimer(Timer timer) override;
  void ShowMessage(const Text& text, const Text& title = Text("信息：")) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateControls(HINSTANCE instance);
  void OnTimer(WPARAM timerId);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  bool OnActivate(WPARAM wParam);
  void DrawRaisedLabel(const DRAWITEMSTRUCT& item) const;
  void RunUnlessRunning(bool& running, const std::function<void()>& handler);
  void Run(const std::function<void()>& handler);
  void OnDestroyed();
  // The font a control draws with: its own, or the default GUI font.
  HFONT FontOf(Control control) const;
  bool IsLabel(HWND control) const;

  HWND window_ = nullptr;
  std::array<HWND, kVisibleControlCount> controls_{};
  std::array<ScopedFont, kVisibleControlCount> fonts_;  // null: the default GUI font
  std::array<bool, kTimerCount> timerAlive_{};
  std::array<bool, kTimerCount> tickRunning_{};  // the timer's handler is on the stack
  std::array<bool, kVisibleControlCount> clickRunning_{};  // the button's handler is on the stack
  HWND savedFocus_ = nullptr;  // the control that had the focus when the window was deactivated
  EventHandlers handlers_;
  bool ready_ = false;  // the window is made: handlers may run
};
