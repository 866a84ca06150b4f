// Event wiring; see wiring.h.
#include "app/wiring.h"

#include "dns/dns_presets.h"
#include "netfacts/handlers.h"

EventHandlers WireEventHandlers(View& view, const Services& services) {
  NetworkFacts& network = services.networkFacts;
  SystemFacts& system = services.systemFacts;
  CommandRunner& runner = services.commandRunner;

  EventHandlers handlers;
  handlers.时钟1Tick = [&view, &network] { OnNetworkTimeTick(view, network); };
  handlers.时钟2Tick = [&view, clock = services.currentDateTime] { ShowLocalTime(view, clock); };
  handlers.时钟3Tick = [&view, &system] { OnLocalAddressTick(view, system); };
  handlers.时钟4Tick = [&view, &system] { OnHardwareAddressTick(view, system); };
  handlers.时钟5Tick = [&view, &system] { OnOperatingSystemTick(view, system); };
  handlers.时钟6Tick = [&view, &network] { OnPublicAddressTick(view, network); };
  handlers.时钟7Tick = [&view, &system] { OnScreenSizeTick(view, system); };
  handlers.按钮1Click = [&view, &network] { OnSyncClockClick(view, network); };
  handlers.按钮2Click = [&view, &runner] { OnDnsButtonClicked(Control::按钮2, view, runner); };
  handlers.按钮3Click = [&view, &runner] { OnDnsButtonClicked(Control::按钮3, view, runner); };
  handlers.按钮4Click = [&view, &runner] { OnDnsButtonClicked(Control::按钮4, view, runner); };
  return handlers;
}
