// The text forms of the hardware address and the screen size.
#include "sysinfo/local_readouts.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatHardwareAddress, ShowsTheFirstSixBytesAsUpperCaseHexPairs) {
  struct Case {
    ByteArray address;
    const char* expected;
  } cases[] = {
      {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, "00-1A-2B-3C-4D-5E"},
      {{0xab, 0xcd, 0xef, 0x01, 0x02, 0xff}, "AB-CD-EF-01-02-FF"},
      // The adapter record holds eight bytes; only six are shown.
      {{0x52, 0x54, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A}, "52-54-00-12-34-56"},
      // A shorter address leaves zero pairs, as the zero-filled buffer does.
      {{0x02, 0x00, 0x4C, 0x4F}, "02-00-4C-4F-00-00"},
      {{}, "00-00-00-00-00-00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatHardwareAddress(c.address).bytes(), c.expected);
  }
}

TEST(ScreenText, PutsCrLfAndACapitalXBetweenWidthAndHeight) {
  struct Case {
    ScreenSize size;
    const char* expected;
  } cases[] = {
      {{1920, 1080}, "1920\r\nX1080"},
      {{1366, 768}, "1366\r\nX768"},
      {{0, 0}, "0\r\nX0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(ScreenText(c.size).bytes(), c.expected);
  }
}

}  // namespace
