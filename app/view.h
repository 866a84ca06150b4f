// The view seam: the operations the event handlers use on the main window.
// The Win32 main window implements it; native tests drive every handler with a
// recording fake. Handlers reach controls only through this interface.
#pragma once

#include <variant>

#include "core/text.h"

// The controls of the main window that handlers address, by their names.
enum class Control {
  标签1, 标签2, 标签3, 标签4, 标签5, 标签6, 标签7, 标签8, 标签9,
  编辑框1, 编辑框2, 编辑框3, 编辑框4, 编辑框5, 编辑框6, 编辑框7,
  按钮1, 按钮2, 按钮3, 按钮4,
};

enum class Timer { 时钟1, 时钟2, 时钟3, 时钟4, 时钟5, 时钟6, 时钟7 };

// The names of the window description, such as "编辑框1" and "时钟3".
Text ControlName(Control control);
Text TimerName(Timer timer);

// One field of a control's font and its new value.
struct FontChange {
  enum class Field { angle, bold, italic, underline, strikeout, size, face };
  Field field;
  std::variant<int, bool, Text> value;

  static FontChange Angle(int tenthsOfDegree) { return {Field::angle, tenthsOfDegree}; }
  static FontChange Bold(bool on) { return {Field::bold, on}; }
  static FontChange Italic(bool on) { return {Field::italic, on}; }
  static FontChange Underline(bool on) { return {Field::underline, on}; }
  static FontChange Strikeout(bool on) { return {Field::strikeout, on}; }
  static FontChange Size(int points) { return {Field::size, points}; }
  static FontChange Face(Text name) { return {Field::face, std::move(name)}; }
  friend bool operator==(const FontChange&, const FontChange&) = default;
};

class View {
 public:
  virtual ~View() = default;

  // Replaces the whole content of an edit box.
  virtual void SetText(Control editBox, const Text& text) = 0;
  // Replaces the caption of a button.
  virtual void SetCaption(Control button, const Text& caption) = 0;
  // Changes one field of the control's current font and applies it at once.
  virtual void SetFont(Control control, const FontChange& change) = 0;
  // Greys the control; it stays greyed unless EnableControl is called.
  virtual void DisableControl(Control control) = 0;
  // Makes a greyed control usable again (the DNS buttons after a failed change).
  virtual void EnableControl(Control control) = 0;
  // Stops the timer for good; destroying it twice ends through StopWithError.
  virtual void DestroyTimer(Timer timer) = 0;
  // Task-modal box, OK only, no icon; returns when the user has closed it.
  // Ticks of live timers keep running while it is open.
  virtual void ShowMessage(const Text& text, const Text& title = Text("信息：")) = 0;
};
