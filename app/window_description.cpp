// The window description as data; see window_description.h.
#include "app/window_description.h"

namespace {

constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kEditBox = ControlKind::EditBox;
constexpr ControlKind kButton = ControlKind::Button;
constexpr ControlKind kTimer = ControlKind::Timer;

constexpr MainWindowDescription kMainWindow = {"柘桥", 500, 376};

constexpr std::array<ControlDescription, kControlCount> kControls = {{
    {"标签1", kLabel, 15, 23, 56, 32, "北京时间：", 0},
    {"标签2", kLabel, 15, 79, 56, 32, "本地时间：", 0},
    {"标签3", kLabel, 256, 80, 56, 32, "本机IP：", 0},
    {"标签4", kLabel, 256, 193, 56, 32, "M A  C：", 0},
    {"标签5", kLabel, 256, 23, 56, 32, "操作系统：", 0},
    {"标签6", kLabel, 256, 136, 56, 32, "外网IP：", 0},
    {"标签7", kLabel, 15, 136, 56, 32, "一键同步：", 0},
    {"标签8", kLabel, 15, 256, 440, 40,
     "DNS食用说明书：中国互联网中心DNS+石榴爸爸DNS+114DNS=上网安全+防劫持。", 0},
    {"标签9", kLabel, 15, 193, 56, 32, "分 辨 率：", 0},
    {"编辑框1", kEditBox, 79, 19, 161, 32, "", 0},
    {"编辑框2", kEditBox, 79, 79, 161, 32, "", 0},
    {"编辑框3", kEditBox, 320, 79, 161, 32, "", 0},
    {"编辑框4", kEditBox, 320, 193, 161, 32, "", 0},
    {"编辑框5", kEditBox, 320, 19, 161, 32, "", 0},
    {"编辑框6", kEditBox, 320, 136, 161, 32, "", 0},
    {"编辑框7", kEditBox, 80, 193, 161, 32, "", 0},
    {"按钮1", kButton, 80, 136, 161, 32, "同步本地时间为北京时间", 0},
    {"按钮2", kButton, 12, 304, 110, 30, "联通DNS优选替换", 0},
    {"按钮3", kButton, 179, 304, 110, 30, "电信DNS优选替换", 0},
    {"按钮4", kButton, 345, 304, 110, 30, "移动DNS优选替换", 0},
    {"时钟1", kTimer, 160, 19, 49, 32, "", 1000},
    {"时钟2", kTimer, 160, 80, 49, 32, "", 1000},
    {"时钟3", kTimer, 416, 80, 49, 32, "", 10},
    {"时钟4", kTimer, 416, 193, 49, 32, "", 10},
    {"时钟5", kTimer, 416, 19, 49, 32, "", 10},
    {"时钟6", kTimer, 416, 136, 49, 32, "", 10},
    {"时钟7", kTimer, 160, 200, 48, 24, "", 1000},
}};

}  // namespace

const MainWindowDescription& MainWindowSettings() {
  return kMainWindow;
}

const std::array<ControlDescription, kControlCount>& ControlDescriptions() {
  return kControls;
}

std::size_t IndexOf(Control control) {
  return static_cast<std::size_t>(control);
}
std::size_t IndexOf(Timer timer) {
  return kVisibleControlCount + static_cast<std::size_t>(timer);
}

const ControlDescription& DescriptionOf(Control control) {
  return kControls.at(IndexOf(control));
}
const ControlDescription& DescriptionOf(Timer timer) {
  return kControls.at(IndexOf(timer));
}

std::optional<Control> ControlAt(std::size_t index) {
  if (index >= kVisibleControlCount) return std::nullopt;
  return static_cast<Control>(index);
}

std::optional<Timer> TimerAt(std::size_t index) {
  if (index < kVisibleControlCount || index >= kControlCount) return std::nullopt;
  return static_cast<Timer>(index - kVisibleControlCount);
}

WindowPosition CentredPosition(int screenWidth, int screenHeight) {
  return {(screenWidth - kMainWindow.outerWidth) / 2, (screenHeight - kMainWindow.outerHeight) / 2};
}
