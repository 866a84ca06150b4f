// The event wiring: which handler each tick and click runs, and the
// local-time readout of 时钟2 with a fixed clock.
#include "app/wiring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/date_time.h"
#include "tests/support/fake_view.h"

namespace {

struct Wired {
  FakeView view;
  DateTime now = MakeDateTime(2019, 10, 4, 14, 31, 42);
  EventHandlers handlers = WireEventHandlers(view, Services{[this] { return now; }});
};

TEST(LocalTimeReadout, TickOfTheSecondTimerWritesTheLocalTimeIntoTheSecondEditBox) {
  Wired wired;
  ASSERT_TRUE(wired.handlers.时钟2Tick);
  wired.handlers.时钟2Tick();
  EXPECT_EQ(wired.view.calls,
            std::vector<std::string>{"SetText 编辑框2 2019年10月4日14时31分42秒"});
}

TEST(LocalTimeReadout, DropsTrailingZeroFields) {
  const struct {
    DateTime time;
    const char* expected;
  } cases[] = {
      {MakeDateTime(2019, 10, 4, 14, 31, 0), "SetText 编辑框2 2019年10月4日14时31分"},
      {MakeDateTime(2019, 10, 4, 14, 0, 0), "SetText 编辑框2 2019年10月4日14时"},
      {MakeDateTime(2019, 10, 4, 0, 0, 0), "SetText 编辑框2 2019年10月4日"},
      {MakeDateTime(2019, 10, 4, 0, 0, 1), "SetText 编辑框2 2019年10月4日0时0分1秒"},
      {MakeDateTime(2019, 10, 4, 0, 5, 0), "SetText 编辑框2 2019年10月4日0时5分"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    Wired wired;
    wired.now = c.time;
    wired.handlers.时钟2Tick();
    EXPECT_EQ(wired.view.calls, std::vector<std::string>{c.expected});
  }
}

// Every tick reads the clock afresh: a second after a full minute the
// seconds are back.
TEST(LocalTimeReadout, EachTickReadsTheClockAgain) {
  Wired wired;
  wired.now = MakeDateTime(2019, 10, 4, 14, 31, 0);
  wired.handlers.时钟2Tick();
  wired.now = MakeDateTime(2019, 10, 4, 14, 31, 1);
  wired.handlers.时钟2Tick();
  EXPECT_EQ(wired.view.calls,
            (std::vector<std::string>{"SetText 编辑框2 2019年10月4日14时31分",
                                      "SetText 编辑框2 2019年10月4日14时31分1秒"}));
}

TEST(EventWiring, OnTickAndOnClickReachTheirOwnSlot) {
  EventHandlers handlers;
  std::vector<std::string> ran;
  handlers.时钟1Tick = [&] { ran.push_back("时钟1"); };
  handlers.时钟2Tick = [&] { ran.push_back("时钟2"); };
  handlers.时钟3Tick = [&] { ran.push_back("时钟3"); };
  handlers.时钟4Tick = [&] { ran.push_back("时钟4"); };
  handlers.时钟5Tick = [&] { ran.push_back("时钟5"); };
  handlers.时钟6Tick = [&] { ran.push_back("时钟6"); };
  handlers.时钟7Tick = [&] { ran.push_back("时钟7"); };
  handlers.按钮1Click = [&] { ran.push_back("按钮1"); };
  handlers.按钮2Click = [&] { ran.push_back("按钮2"); };
  handlers.按钮3Click = [&] { ran.push_back("按钮3"); };
  handlers.按钮4Click = [&] { ran.push_back("按钮4"); };

  for (Timer timer : {Timer::时钟1, Timer::时钟2, Timer::时钟3, Timer::时钟4, Timer::时钟5,
                      Timer::时钟6, Timer::时钟7}) {
    handlers.OnTick(timer)();
  }
  for (Control button : {Control::按钮1, Control::按钮2, Control::按钮3, Control::按钮4}) {
    (*handlers.OnClick(button))();
  }
  EXPECT_EQ(ran, (std::vector<std::string>{"时钟1", "时钟2", "时钟3", "时钟4", "时钟5", "时钟6",
                                           "时钟7", "按钮1", "按钮2", "按钮3", "按钮4"}));
}

TEST(EventWiring, ControlsOtherThanButtonsHaveNoClick) {
  EventHandlers handlers;
  for (Control control : {Control::标签1, Control::标签8, Control::编辑框1, Control::编辑框7}) {
    SCOPED_TRACE(ControlName(control).bytes());
    EXPECT_EQ(handlers.OnClick(control), nullptr);
  }
}

}  // namespace
