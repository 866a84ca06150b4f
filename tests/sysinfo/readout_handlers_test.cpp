// The call sequences of the 时钟3, 时钟4, 时钟5 and 时钟7 tick handlers.
#include "sysinfo/readout_handlers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_view.h"

namespace {

class FakeSystemFacts : public SystemFacts {
 public:
  Text localAddress = "192.168.1.10";
  Text hardwareAddress = "00-1A-2B-3C-4D-5E";
  Text description = "Windows 7";
  ScreenSize screen{1366, 768};
  int asked = 0;

  Text LocalAddress() override { return ++asked, localAddress; }
  Text HardwareAddress() override { return ++asked, hardwareAddress; }
  Text OperatingSystemDescription() override { return ++asked, description; }
  ScreenSize PrimaryScreenSize() override { return ++asked, screen; }
};

using Calls = std::vector<std::string>;

TEST(OnLocalAddressTick, ShowsTheAddressDestroysTheTimerThenAsksForAdministratorRights) {
  FakeView view;
  FakeSystemFacts facts;
  OnLocalAddressTick(view, facts);
  EXPECT_EQ(view.calls, (Calls{"SetText 编辑框3 192.168.1.10", "DestroyTimer 时钟3",
                               "ShowMessage 注意 请用管理员身份运行"}));
  EXPECT_EQ(facts.asked, 1);
}

TEST(OnLocalAddressTick, ShowsTheNoticeAlsoWhenTheLookupFails) {
  FakeView view;
  FakeSystemFacts facts;
  facts.localAddress = Text();
  OnLocalAddressTick(view, facts);
  EXPECT_EQ(view.calls, (Calls{"SetText 编辑框3 ", "DestroyTimer 时钟3",
                               "ShowMessage 注意 请用管理员身份运行"}));
}

TEST(OnHardwareAddressTick, ShowsTheAddressAndDestroysTheTimer) {
  FakeView view;
  FakeSystemFacts facts;
  OnHardwareAddressTick(view, facts);
  EXPECT_EQ(view.calls, (Calls{"SetText 编辑框4 00-1A-2B-3C-4D-5E", "DestroyTimer 时钟4"}));

  FakeView noAdapter;
  facts.hardwareAddress = Text();
  OnHardwareAddressTick(noAdapter, facts);
  EXPECT_EQ(noAdapter.calls, (Calls{"SetText 编辑框4 ", "DestroyTimer 时钟4"}));
}

TEST(OnOperatingSystemTick, ShowsTheDescriptionAndDestroysTheTimer) {
  FakeView view;
  FakeSystemFacts facts;
  OnOperatingSystemTick(view, facts);
  EXPECT_EQ(view.calls, (Calls{"SetText 编辑框5 Windows 7", "DestroyTimer 时钟5"}));
}

TEST(OnScreenSizeTick, ShowsTheSizeThenSetsABold14PointSongTiFont) {
  FakeView view;
  FakeSystemFacts facts;
  OnScreenSizeTick(view, facts);
  EXPECT_EQ(view.calls, (Calls{"SetText 编辑框7 1366\r\nX768", "SetFont 编辑框7 size=14",
                               "SetFont 编辑框7 face=宋体", "SetFont 编辑框7 bold=true",
                               "DestroyTimer 时钟7"}));
}

}  // namespace
