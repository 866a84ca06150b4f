// The local address, the first adapter's hardware address and the screen size
// from the Windows APIs. Implementation here must contain only Win32 specific
// code; the text forms are in local_readouts.cpp.
// clang-format off
#include "core/win32.h"
// After win32.h: WIN32_LEAN_AND_MEAN keeps <windows.h> from pulling in the old
// <winsock.h>, which would clash with these.
#include <winsock2.h>
#include <iphlpapi.h>
// clang-format on

#include <cstring>
#include <vector>

#include "sysinfo/local_readouts.h"

namespace {

// One start of the socket library, released when it goes out of scope, so that
// the library is released also when the lookup fails after a good start.
class SocketLibrary {
 public:
  SocketLibrary() {
    WSADATA data{};
    started_ = ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
  }
  ~SocketLibrary() {
    if (started_) ::WSACleanup();
  }
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;

  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

}  // namespace

Text QueryLocalAddress() {
  SocketLibrary sockets;
  if (!sockets.Started()) return Text();
  // The empty name asks for the local computer itself.
  const hostent* host = ::gethostbyname("");
  if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != sizeof(in_addr) ||
      host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
    return Text();
  }
  in_addr first{};
  std::memcpy(&first, host->h_addr_list[0], sizeof(first));
  // inet_ntoa's buffer belongs to the socket library: the text is copied out
  // before the library is released.
  return Text(::inet_ntoa(first));
}

Text QueryHardwareAddress() {
  ULONG size = 0;
  // Without a buffer the call only reports the size the list needs.
  ::GetAdaptersInfo(nullptr, &size);
  if (size == 0) return Text();
  // Whole records keep the entries aligned; value-initialising them fills the
  // buffer with zeros, so bytes the system leaves out read as zero.
  std::vector<IP_ADAPTER_INFO> buffer((size + sizeof(IP_ADAPTER_INFO) - 1) /
                                      sizeof(IP_ADAPTER_INFO));
  // The result is ignored: an unfilled buffer reads as six zero pairs.
  ::GetAdaptersInfo(buffer.data(), &size);
  // Only the first entry counts; six bytes whatever AddressLength says.
  const IP_ADAPTER_INFO& first = buffer.front();
  return FormatHardwareAddress(ByteArray(first.Address, first.Address + sizeof(first.Address)));
}

ScreenSize QueryScreenSize() {
  return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}
