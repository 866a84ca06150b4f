// The text forms of the hardware address and the screen size.
#include "sysinfo/local_readouts.h"

#include <cstdio>

namespace {
constexpr int kShownAddressBytes = 6;
}  // namespace

Text FormatHardwareAddress(const ByteArray& address) {
  std::uint8_t bytes[kShownAddressBytes] = {};
  for (int i = 0; i < kShownAddressBytes && i < BytesLength(address); ++i) bytes[i] = address[i];
  char formatted[3 * kShownAddressBytes] = {};
  std::snprintf(formatted, sizeof(formatted), "%02X-%02X-%02X-%02X-%02X-%02X", bytes[0], bytes[1],
                bytes[2], bytes[3], bytes[4], bytes[5]);
  return formatted;
}

Text ScreenText(const ScreenSize& size) {
  return ToText(size.width) + "\r\nX" + ToText(size.height);
}
