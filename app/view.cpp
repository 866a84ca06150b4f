// The names of the controls and timers, as the window description gives them.
#include "app/view.h"

#include <array>

Text ControlName(Control control) {
  static constexpr std::array<const char*, 20> kNames = {
      "标签1",   "标签2",   "标签3",   "标签4",   "标签5",   "标签6",   "标签7",
      "标签8",   "标签9",   "编辑框1", "编辑框2", "编辑框3", "编辑框4", "编辑框5",
      "编辑框6", "编辑框7", "按钮1",   "按钮2",   "按钮3",   "按钮4",
  };
  return kNames.at(static_cast<std::size_t>(control));
}

Text TimerName(Timer timer) {
  static constexpr std::array<const char*, 7> kNames = {"时钟1", "时钟2", "时钟3", "时钟4",
                                                        "时钟5", "时钟6", "时钟7"};
  return kNames.at(static_cast<std::size_t>(timer));
}
