// The program's NetworkFacts: the real requests, clock and pause.
#include "netfacts/network_facts.h"

#include <chrono>
#include <thread>

#include "core/system.h"

std::optional<DateTime> SystemNetworkFacts::FetchNetworkTime() {
  return ::FetchNetworkTime(timeSource_);
}

bool SystemNetworkFacts::SetCurrentDateTime(const DateTime& dateTime) {
  return ::SetCurrentDateTime(dateTime);
}

// The GUI thread simply stops, as the Win32 Sleep does: no message is pumped.
void SystemNetworkFacts::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Text SystemNetworkFacts::QueryPublicAddress(Text& placeName) {
  return ::QueryPublicAddress(addressService_, placeName);
}
