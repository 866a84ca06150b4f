// The tick handlers of the local readouts and the platform's system facts.
#include "sysinfo/readout_handlers.h"

#include "sysinfo/os_description.h"

Text PlatformSystemFacts::LocalAddress() {
  return QueryLocalAddress();
}
Text PlatformSystemFacts::HardwareAddress() {
  return QueryHardwareAddress();
}
Text PlatformSystemFacts::OperatingSystemDescription() {
  return DescribeOperatingSystem();
}
ScreenSize PlatformSystemFacts::PrimaryScreenSize() {
  return QueryScreenSize();
}

void OnLocalAddressTick(View& view, SystemFacts& facts) {
  view.SetText(Control::编辑框3, facts.LocalAddress());
  view.DestroyTimer(Timer::时钟3);
  view.ShowMessage("请用管理员身份运行", "注意");
}

void OnHardwareAddressTick(View& view, SystemFacts& facts) {
  view.SetText(Control::编辑框4, facts.HardwareAddress());
  view.DestroyTimer(Timer::时钟4);
}

void OnOperatingSystemTick(View& view, SystemFacts& facts) {
  view.SetText(Control::编辑框5, facts.OperatingSystemDescription());
  view.DestroyTimer(Timer::时钟5);
}

void OnScreenSizeTick(View& view, SystemFacts& facts) {
  view.SetText(Control::编辑框7, ScreenText(facts.PrimaryScreenSize()));
  view.SetFont(Control::编辑框7, FontChange::Size(14));
  view.SetFont(Control::编辑框7, FontChange::Face("宋体"));
  view.SetFont(Control::编辑框7, FontChange::Bold(true));
  view.DestroyTimer(Timer::时钟7);
}
