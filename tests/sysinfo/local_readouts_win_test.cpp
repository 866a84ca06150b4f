// The local address, hardware address and screen size on the real Windows APIs
// (under Wine), each against an independent query made by the test.
// clang-format off
#include "core/win32.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sysinfo/local_readouts.h"
#include "sysinfo/readout_handlers.h"
#include "tests/support/fake_view.h"

namespace {

// True when this process holds no start of the socket library.
bool SocketLibraryReleased() {
  ::WSASetLastError(0);
  return ::gethostbyname("") == nullptr && ::WSAGetLastError() == WSANOTINITIALISED;
}

TEST(QueryLocalAddressOnWindows, GivesTheFirstAddressOfTheLocalHostLookup) {
  WSADATA data{};
  ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
  std::string expected;
  if (const hostent* host = ::gethostbyname(""); host != nullptr && host->h_addr_list[0]) {
    char dotted[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, host->h_addr_list[0], dotted, sizeof(dotted));
    expected = dotted;
  }
  ::WSACleanup();
  EXPECT_FALSE(expected.empty()) << "the system lists no local address";
  std::printf("first local address: %s\n", expected.c_str());
  EXPECT_EQ(QueryLocalAddress().bytes(), expected);
}

TEST(QueryLocalAddressOnWindows, ReleasesTheSocketLibraryItStarted) {
  ASSERT_TRUE(SocketLibraryReleased()) << "some earlier code left the library started";
  QueryLocalAddress();
  EXPECT_TRUE(SocketLibraryReleased());
}

TEST(QueryHardwareAddressOnWindows, GivesTheFirstAdapterOfTheAdapterList) {
  std::vector<IP_ADAPTER_INFO> adapters(64);
  ULONG size = static_cast<ULONG>(adapters.size() * sizeof(IP_ADAPTER_INFO));
  const DWORD result = ::GetAdaptersInfo(adapters.data(), &size);
  std::string expected;
  if (result == ERROR_SUCCESS) {
    const BYTE* address = adapters[0].Address;
    char formatted[18] = {};
    std::snprintf(formatted, sizeof(formatted), "%02X-%02X-%02X-%02X-%02X-%02X", address[0],
                  address[1], address[2], address[3], address[4], address[5]);
    expected = formatted;
  } else {
    ASSERT_EQ(result, static_cast<DWORD>(ERROR_NO_DATA)) << "the list did not fit";
  }
  std::printf("first adapter: %s\n", expected.c_str());
  EXPECT_EQ(QueryHardwareAddress().bytes(), expected);
}

TEST(QueryScreenSizeOnWindows, GivesThePrimaryScreensPixels) {
  HDC screen = ::GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  const ScreenSize expected{::GetDeviceCaps(screen, HORZRES), ::GetDeviceCaps(screen, VERTRES)};
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(QueryScreenSize(), expected) << expected.width << " x " << expected.height;
}

TEST(PlatformSystemFactsOnWindows, FeedTheScreenReadout) {
  FakeView view;
  PlatformSystemFacts facts;
  OnScreenSizeTick(view, facts);
  ASSERT_FALSE(view.calls.empty());
  const std::string width = std::to_string(::GetSystemMetrics(SM_CXSCREEN));
  const std::string height = std::to_string(::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(view.calls[0], "SetText 编辑框7 " + width + "\r\nX" + height);
}

}  // namespace
