// The local address, hardware address and screen readouts: the text forms as
// pure functions, and the system queries behind them (local_readouts_win.cpp).
#pragma once

#include "core/text.h"

struct ScreenSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const ScreenSize&, const ScreenSize&) = default;
};

// The first six bytes of an adapter's address as "%02X-%02X-%02X-%02X-%02X-%02X".
// Bytes beyond the end of a shorter address count as zero, as they are in the
// zero-filled buffer the adapter list is read into.
Text FormatHardwareAddress(const ByteArray& address);

// The width, a line break, a capital X and the height: 1920, CR LF, X1080.
Text ScreenText(const ScreenSize& size);

// The dotted-decimal IPv4 address that the host-name lookup of the local
// computer lists first; empty when there is none.
Text QueryLocalAddress();

// The hardware address of the first network adapter; empty without adapters.
Text QueryHardwareAddress();

// Width and height of the primary screen in pixels.
ScreenSize QueryScreenSize();
