// The window description: MainWindow's settings and its 27 controls (name,
// kind, position and size in the client area, text at start, timer period),
// as plain data. The Win32 window is made from it, and the tests check it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "app/view.h"
#include "core/text.h"

enum class ControlKind { Label, EditBox, Button, Timer };

struct ControlDescription {
  const char* name;  // "标签1", "编辑框2", "时钟3"...
  ControlKind kind;
  int left;  // client coordinates of MainWindow, in pixels
  int top;
  int width;
  int height;
  const char* text;  // text at start; empty for edit boxes and timers
  int periodMs;      // timers only; 0 for the other kinds
};

struct MainWindowDescription {
  const char* caption;
  int outerWidth;  // the whole window, title bar and frame included
  int outerHeight;
};

inline constexpr std::size_t kControlCount = 27;
inline constexpr std::size_t kVisibleControlCount = 20;  // labels, edit boxes, buttons
inline constexpr std::size_t kTimerCount = kControlCount - kVisibleControlCount;

const MainWindowDescription& MainWindowSettings();

// All controls, in the order of the description: 标签1–9, 编辑框1–7, 按钮1–4,
// 时钟1–7. The first 20 are the Control values in order, the last 7 the
// Timer values in order.
const std::array<ControlDescription, kControlCount>& ControlDescriptions();

const ControlDescription& DescriptionOf(Control control);
const ControlDescription& DescriptionOf(Timer timer);

// Position of a control or timer in ControlDescriptions().
std::size_t IndexOf(Control control);
std::size_t IndexOf(Timer timer);

// The Control or Timer at a position of ControlDescriptions(), if it is one.
std::optional<Control> ControlAt(std::size_t index);
std::optional<Timer> TimerAt(std::size_t index);

// Where MainWindow goes at start: centred on a screen of the given size, by
// integer division.
struct WindowPosition {
  int left;
  int top;
  friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};
WindowPosition CentredPosition(int screenWidth, int screenHeight);
