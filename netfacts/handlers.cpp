// The network-time tick, the clock-sync click and the public-address tick.
#include "netfacts/handlers.h"

void OnNetworkTimeTick(View& view, NetworkFacts& facts) {
  // Repeated on every tick; from the second one on it changes nothing visible.
  view.SetFont(Control::标签8, FontChange::Size(15));
  view.SetFont(Control::标签8, FontChange::Face("黑体"));
  const std::optional<DateTime> beijingTime = facts.FetchNetworkTime();
  view.SetText(Control::编辑框1, beijingTime ? ToText(*beijingTime) : Text());
}

void OnSyncClockClick(View& view, NetworkFacts& facts) {
  // A fresh request, not the value on display.
  const std::optional<DateTime> beijingTime = facts.FetchNetworkTime();
  if (!beijingTime) {
    view.ShowMessage(kNoNetworkTimeText, kSyncFailedTitle);
    return;
  }
  if (!facts.SetCurrentDateTime(*beijingTime)) {
    view.ShowMessage(kClockRefusedText, kSyncFailedTitle);
    return;
  }
  facts.Sleep(1000);
  view.ShowMessage(kSyncSucceededText, kSyncSucceededTitle);
  view.ShowMessage(kTimersDestroyedText, kTimersDestroyedTitle);
  facts.Sleep(1000);
  view.SetCaption(Control::按钮1, kSyncedCaption);
  view.DestroyTimer(Timer::时钟1);
  view.DestroyTimer(Timer::时钟2);
  view.DisableControl(Control::按钮1);
}

void OnPublicAddressTick(View& view, NetworkFacts& facts) {
  Text placeName;  // asked for by the lookup, not shown
  view.SetText(Control::编辑框6, facts.QueryPublicAddress(placeName));
  view.DestroyTimer(Timer::时钟6);
}
