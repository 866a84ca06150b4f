// The network-facts handlers, driven with a fake view and fake services that
// write into one log, so the order of every call shows.
#include "netfacts/handlers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_view.h"

namespace {

using Log = std::vector<std::string>;

class FakeNetworkFacts : public NetworkFacts {
 public:
  explicit FakeNetworkFacts(Log& log) : log_(log) {}

  std::optional<DateTime> networkTime;
  bool clockAccepts = true;
  Text publicAddress;

  std::optional<DateTime> FetchNetworkTime() override {
    log_.push_back("FetchNetworkTime");
    return networkTime;
  }
  bool SetCurrentDateTime(const DateTime& dateTime) override {
    log_.push_back("SetCurrentDateTime " + ToText(dateTime).bytes());
    return clockAccepts;
  }
  void Sleep(int milliseconds) override { log_.push_back("Sleep " + std::to_string(milliseconds)); }
  Text QueryPublicAddress(Text& placeName) override {
    log_.push_back("QueryPublicAddress");
    placeName = "北京市";
    return publicAddress;
  }

 private:
  Log& log_;
};

class NetworkFactsHandlers : public ::testing::Test {
 protected:
  FakeView view;
  FakeNetworkFacts facts{view.calls};
  const DateTime beijingTime = MakeDateTime(2019, 10, 5, 4, 15, 0);
};

TEST_F(NetworkFactsHandlers, NetworkTimeTickSetsTheLabelFontThenShowsTheTime) {
  facts.networkTime = beijingTime;
  OnNetworkTimeTick(view, facts);
  EXPECT_EQ(view.calls, (Log{
                            "SetFont 标签8 size=15",
                            "SetFont 标签8 face=黑体",
                            "FetchNetworkTime",
                            "SetText 编辑框1 2019年10月5日4时15分",
                        }));
}

TEST_F(NetworkFactsHandlers, NetworkTimeTickWithoutATimeShowsTheEmptyText) {
  OnNetworkTimeTick(view, facts);
  EXPECT_EQ(view.calls, (Log{
                            "SetFont 标签8 size=15",
                            "SetFont 标签8 face=黑体",
                            "FetchNetworkTime",
                            "SetText 编辑框1 ",
                        }));
}

TEST_F(NetworkFactsHandlers, ClickThatSetsTheClockReportsAndFreezesBothReadouts) {
  facts.networkTime = beijingTime;
  OnSyncClockClick(view, facts);
  EXPECT_EQ(view.calls, (Log{
                            "FetchNetworkTime",
                            "SetCurrentDateTime 2019年10月5日4时15分",
                            "Sleep 1000",
                            "ShowMessage 成功 同步成功，显示一两秒误差属于正常",
                            "ShowMessage 提示 同步后时钟销毁所以时间不再跳动",
                            "Sleep 1000",
                            "SetCaption 按钮1 已经成功同步",
                            "DestroyTimer 时钟1",
                            "DestroyTimer 时钟2",
                            "DisableControl 按钮1",
                        }));
}

TEST_F(NetworkFactsHandlers, ClickWithoutANetworkTimeSetsNothingAndLeavesEverythingForARetry) {
  OnSyncClockClick(view, facts);
  EXPECT_EQ(view.calls, (Log{
                            "FetchNetworkTime",
                            "ShowMessage 失败 同步失败：未能获取网络时间，请检查网络后重试",
                        }));

  // The button, its caption and the timers are still there: a second click
  // with the network back syncs.
  view.calls.clear();
  facts.networkTime = beijingTime;
  OnSyncClockClick(view, facts);
  EXPECT_EQ(view.calls.back(), "DisableControl 按钮1");
}

TEST_F(NetworkFactsHandlers, ClickWhoseClockRefusesReportsThatAndChangesNothingElse) {
  facts.networkTime = beijingTime;
  facts.clockAccepts = false;
  OnSyncClockClick(view, facts);
  EXPECT_EQ(view.calls, (Log{
                            "FetchNetworkTime",
                            "SetCurrentDateTime 2019年10月5日4时15分",
                            "ShowMessage 失败 同步失败：无法修改系统时间，请用管理员身份运行",
                        }));
}

TEST_F(NetworkFactsHandlers, TicksWhileAMessageIsOpenRunBeforeTheTimersAreDestroyed) {
  facts.networkTime = beijingTime;
  // A real message box dispatches the ticks of live timers; here one tick of
  // 时钟1 runs inside each box.
  view.whileMessageShown = [&](const Text&, const Text&) { OnNetworkTimeTick(view, facts); };
  OnSyncClockClick(view, facts);
  EXPECT_EQ(view.calls, (Log{
                            "FetchNetworkTime",
                            "SetCurrentDateTime 2019年10月5日4时15分",
                            "Sleep 1000",
                            "ShowMessage 成功 同步成功，显示一两秒误差属于正常",
                            "SetFont 标签8 size=15",
                            "SetFont 标签8 face=黑体",
                            "FetchNetworkTime",
                            "SetText 编辑框1 2019年10月5日4时15分",
                            "ShowMessage 提示 同步后时钟销毁所以时间不再跳动",
                            "SetFont 标签8 size=15",
                            "SetFont 标签8 face=黑体",
                            "FetchNetworkTime",
                            "SetText 编辑框1 2019年10月5日4时15分",
                            "Sleep 1000",
                            "SetCaption 按钮1 已经成功同步",
                            "DestroyTimer 时钟1",
                            "DestroyTimer 时钟2",
                            "DisableControl 按钮1",
                        }));
}

TEST_F(NetworkFactsHandlers, TickWhileTheFailureMessageIsOpenKeepsTheReadoutGoing) {
  view.whileMessageShown = [&](const Text&, const Text&) {
    facts.networkTime = beijingTime;  // the network comes back meanwhile
    OnNetworkTimeTick(view, facts);
  };
  OnSyncClockClick(view, facts);
  EXPECT_EQ(view.calls, (Log{
                            "FetchNetworkTime",
                            "ShowMessage 失败 同步失败：未能获取网络时间，请检查网络后重试",
                            "SetFont 标签8 size=15",
                            "SetFont 标签8 face=黑体",
                            "FetchNetworkTime",
                            "SetText 编辑框1 2019年10月5日4时15分",
                        }));
}

TEST_F(NetworkFactsHandlers, PublicAddressTickShowsTheAddressOnceAndEndsItsTimer) {
  struct {
    const char* publicAddress;
    Log expected;
  } cases[] = {
      {"203.0.113.7", {"QueryPublicAddress", "SetText 编辑框6 203.0.113.7", "DestroyTimer 时钟6"}},
      {"", {"QueryPublicAddress", "SetText 编辑框6 ", "DestroyTimer 时钟6"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.publicAddress);
    view.calls.clear();
    facts.publicAddress = c.publicAddress;
    OnPublicAddressTick(view, facts);
    EXPECT_EQ(view.calls, c.expected);
  }
}

}  // namespace
