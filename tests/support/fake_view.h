// A recording View for native tests of the event handlers. Every call is kept
// as one readable line, such as "SetText 编辑框1 2019年10月5日4时15分" (GBK).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/view.h"

class FakeView : public View {
 public:
  std::vector<std::string> calls;
  // Runs inside ShowMessage, as the ticks of live timers do while a real
  // message box is open; the message is logged first.
  std::function<void(const Text& text, const Text& title)> whileMessageShown;

  void SetText(Control editBox, const Text& text) override {
    Log("SetText " + ControlName(editBox) + " " + text);
  }
  void SetCaption(Control button, const Text& caption) override {
    Log("SetCaption " + ControlName(button) + " " + caption);
  }
  void SetFont(Control control, const FontChange& change) override {
    Log("SetFont " + ControlName(control) + " " + Describe(change));
  }
  void DisableControl(Control control) override { Log("DisableControl " + ControlName(control)); }
  void EnableControl(Control control) override { Log("EnableControl " + ControlName(control)); }
  void DestroyTimer(Timer timer) override { Log("DestroyTimer " + TimerName(timer)); }
  void ShowMessage(const Text& text, const Text& title) override {
    Log("ShowMessage " + title + " " + text);
    if (whileMessageShown) whileMessageShown(text, title);
  }

 private:
  void Log(const Text& line) { calls.push_back(line.bytes()); }

  static Text Describe(const FontChange& change) {
    static constexpr const char* kFields[] = {"angle",     "bold", "italic", "underline",
                                              "strikeout", "size", "face"};
    Text value;
    if (const int* number = std::get_if<int>(&change.value)) value = std::to_string(*number);
    if (const bool* on = std::get_if<bool>(&change.value)) value = *on ? "true" : "false";
    if (const Text* text = std::get_if<Text>(&change.value)) value = *text;
    return Text(kFields[static_cast<int>(change.field)]) + "=" + value;
  }
};
