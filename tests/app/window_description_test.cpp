// The window description against the tables of the main window: every one of
// the 27 controls with its kind, place, size, text and timer period.
#include "app/window_description.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(WindowDescription, MainWindowHasItsCaptionAndOuterSize) {
  const MainWindowDescription& window = MainWindowSettings();
  EXPECT_EQ(Text(window.caption), Text("柘桥"));
  EXPECT_EQ(window.outerWidth, 500);
  EXPECT_EQ(window.outerHeight, 376);
}

TEST(WindowDescription, EveryControlMatchesTheTable) {
  using enum ControlKind;
  const struct {
    const char* name;
    ControlKind kind;
    int left, top, width, height;
    const char* text;
    int periodMs;
  } expected[] = {
      {"标签1", Label, 15, 23, 56, 32, "北京时间：", 0},
      {"标签2", Label, 15, 79, 56, 32, "本地时间：", 0},
      {"标签3", Label, 256, 80, 56, 32, "本机IP：", 0},
      {"标签4", Label, 256, 193, 56, 32, "M A  C：", 0},
      {"标签5", Label, 256, 23, 56, 32, "操作系统：", 0},
      {"标签6", Label, 256, 136, 56, 32, "外网IP：", 0},
      {"标签7", Label, 15, 136, 56, 32, "一键同步：", 0},
      {"标签8", Label, 15, 256, 440, 40,
       "DNS食用说明书：中国互联网中心DNS+石榴爸爸DNS+114DNS=上网安全+防劫持。", 0},
      {"标签9", Label, 15, 193, 56, 32, "分 辨 率：", 0},
      {"编辑框1", EditBox, 79, 19, 161, 32, "", 0},
      {"编辑框2", EditBox, 79, 79, 161, 32, "", 0},
      {"编辑框3", EditBox, 320, 79, 161, 32, "", 0},
      {"编辑框4", EditBox, 320, 193, 161, 32, "", 0},
      {"编辑框5", EditBox, 320, 19, 161, 32, "", 0},
      {"编辑框6", EditBox, 320, 136, 161, 32, "", 0},
      {"编辑框7", EditBox, 80, 193, 161, 32, "", 0},
      {"按钮1", Button, 80, 136, 161, 32, "同步本地时间为北京时间", 0},
      {"按钮2", Button, 12, 304, 110, 30, "联通DNS优选替换", 0},
      {"按钮3", Button, 179, 304, 110, 30, "电信DNS优选替换", 0},
      {"按钮4", Button, 345, 304, 110, 30, "移动DNS优选替换", 0},
      {"时钟1", Timer, 160, 19, 49, 32, "", 1000},
      {"时钟2", Timer, 160, 80, 49, 32, "", 1000},
      {"时钟3", Timer, 416, 80, 49, 32, "", 10},
      {"时钟4", Timer, 416, 193, 49, 32, "", 10},
      {"时钟5", Timer, 416, 19, 49, 32, "", 10},
      {"时钟6", Timer, 416, 136, 49, 32, "", 10},
      {"时钟7", Timer, 160, 200, 48, 24, "", 1000},
  };
  const auto& controls = ControlDescriptions();
  ASSERT_EQ(std::size(expected), controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const auto& want = expected[i];
    const ControlDescription& have = controls[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(Text(have.name), Text(want.name));
    EXPECT_EQ(have.kind, want.kind);
    EXPECT_EQ(have.left, want.left);
    EXPECT_EQ(have.top, want.top);
    EXPECT_EQ(have.width, want.width);
    EXPECT_EQ(have.height, want.height);
    EXPECT_EQ(Text(have.text), Text(want.text));
    EXPECT_EQ(have.periodMs, want.periodMs);
  }
}

// The handlers address controls by the View's enums: each must reach the
// description of the control with the same name.
TEST(WindowDescription, ControlAndTimerValuesReachTheirOwnDescription) {
  for (std::size_t i = 0; i < kVisibleControlCount; ++i) {
    const Control control = *ControlAt(i);
    SCOPED_TRACE(ControlName(control).bytes());
    EXPECT_EQ(Text(DescriptionOf(control).name), ControlName(control));
    EXPECT_NE(DescriptionOf(control).kind, ControlKind::Timer);
    EXPECT_FALSE(TimerAt(i).has_value());
  }
  for (std::size_t i = kVisibleControlCount; i < kControlCount; ++i) {
    const Timer timer = *TimerAt(i);
    SCOPED_TRACE(TimerName(timer).bytes());
    EXPECT_EQ(Text(DescriptionOf(timer).name), TimerName(timer));
    EXPECT_EQ(DescriptionOf(timer).kind, ControlKind::Timer);
    EXPECT_FALSE(ControlAt(i).has_value());
  }
  EXPECT_FALSE(ControlAt(kControlCount).has_value());
  EXPECT_FALSE(TimerAt(kControlCount).has_value());
}

TEST(WindowDescription, NamesAreUnique) {
  std::set<std::string> names;
  for (const ControlDescription& control : ControlDescriptions()) {
    EXPECT_TRUE(names.insert(control.name).second) << control.name;
  }
}

TEST(WindowDescription, WindowIsCentredByIntegerDivision) {
  const struct {
    int screenWidth, screenHeight;
    WindowPosition expected;
  } cases[] = {
      {1920, 1080, {710, 352}},
      {1280, 800, {390, 212}},
      {1366, 768, {433, 196}},  // 866 / 2 and 392 / 2
      {1025, 769, {262, 196}},  // odd remainders are dropped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight));
    EXPECT_EQ(CentredPosition(c.screenWidth, c.screenHeight), c.expected);
  }
}

}  // namespace
