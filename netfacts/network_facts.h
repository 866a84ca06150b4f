// What the network-facts handlers call on, behind one seam: the network time,
// the computer's clock, a pause of the GUI thread and the public address.
// SystemNetworkFacts is the program's; native tests drive the handlers with a
// fake.
#pragma once

#include <optional>

#include "core/date_time.h"
#include "core/text.h"
#include "netfacts/network_time.h"
#include "netfacts/public_address.h"

class NetworkFacts {
 public:
  virtual ~NetworkFacts() = default;

  // The Beijing time from the time source; empty when it cannot be had.
  virtual std::optional<DateTime> FetchNetworkTime() = 0;
  // Sets the computer's local clock; true only when it was set.
  virtual bool SetCurrentDateTime(const DateTime& dateTime) = 0;
  // Pauses the calling (GUI) thread; no window message is handled meanwhile.
  virtual void Sleep(int milliseconds) = 0;
  // The public address from the lookup service; the place name goes to
  // placeName.
  virtual Text QueryPublicAddress(Text& placeName) = 0;
};

// The real thing: requests through WebRequest, the clock through SetLocalTime.
// The addresses are the program's constants; tests of the Windows layer aim
// them at servers of their own on 127.0.0.1.
class SystemNetworkFacts final : public NetworkFacts {
 public:
  explicit SystemNetworkFacts(Text timeSource = kTimeSourceAddress,
                              Text addressService = kPublicAddressService)
      : timeSource_(std::move(timeSource)), addressService_(std::move(addressService)) {}

  std::optional<DateTime> FetchNetworkTime() override;
  bool SetCurrentDateTime(const DateTime& dateTime) override;
  void Sleep(int milliseconds) override;
  Text QueryPublicAddress(Text& placeName) override;

 private:
  Text timeSource_;
  Text addressService_;
};
