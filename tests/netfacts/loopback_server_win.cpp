// The loopback HTTP server of the Windows-layer tests, over Winsock.
// Implementation here must contain only Win32 specific code.
#include "tests/netfacts/loopback_server_win.h"

// After the lean <windows.h>, which leaves the old winsock.h out.
#include "core/win32.h"
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include <cstdlib>
#include <utility>

namespace {

// Winsock for the life of the object.
struct WinsockSession {
  WinsockSession() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) std::abort();
  }
  ~WinsockSession() { ::WSACleanup(); }
};

class ScopedSocket {
 public:
  explicit ScopedSocket(SOCKET socket) : socket_(socket) {}
  ~ScopedSocket() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
  }
  ScopedSocket(const ScopedSocket&) = delete;
  ScopedSocket& operator=(const ScopedSocket&) = delete;
  SOCKET Get() const { return socket_; }

 private:
  SOCKET socket_;
};

sockaddr_in Loopback(int port) {
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  return address;
}

// A socket listening on 127.0.0.1 at a port the system picks.
SOCKET Listen(int& port) {
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = Loopback(0);
  int length = sizeof(address);
  if (listener == INVALID_SOCKET ||
      ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener, SOMAXCONN) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::abort();
  }
  port = ntohs(address.sin_port);
  return listener;
}

// The request head, up to its empty line (or whatever came within 5 s).
std::string ReceiveHead(SOCKET connection) {
  const DWORD timeoutMs = 5000;
  ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
               sizeof(timeoutMs));
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    const int received = ::recv(connection, buffer, sizeof(buffer), 0);
    if (received <= 0) break;
    head.append(buffer, static_cast<std::size_t>(received));
  }
  return head;
}

void SendAll(SOCKET connection, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const int n = ::send(connection, data.data() + sent, static_cast<int>(data.size() - sent), 0);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

WinsockSession& Winsock() {
  static WinsockSession session;
  return session;
}

}  // namespace

std::string HttpReply(const std::string& headerLines, const std::string& body) {
  return "HTTP/1.1 200 OK\r\n" + headerLines + "Content-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

LoopbackHttpServer::LoopbackHttpServer(std::function<std::string()> reply)
    : reply_(std::move(reply)) {
  Winsock();
  listener_ = Listen(port_);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::LoopbackHttpServer(std::string reply)
    : LoopbackHttpServer(
          std::function<std::string()>([reply = std::move(reply)] { return reply; })) {}

LoopbackHttpServer::~LoopbackHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  // Wakes the blocking accept with a connection of our own.
  ScopedSocket waker(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in address = Loopback(port_);
  ::connect(waker.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
  thread_.join();
  ::closesocket(static_cast<SOCKET>(listener_));
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackHttpServer::RequestLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requestLines_;
}

void LoopbackHttpServer::Serve() {
  for (;;) {
    ScopedSocket connection(::accept(static_cast<SOCKET>(listener_), nullptr, nullptr));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_ || connection.Get() == INVALID_SOCKET) return;
    }
    const std::string head = ReceiveHead(connection.Get());
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requestLines_.push_back(head.substr(0, head.find("\r\n")));
    }
    SendAll(connection.Get(), reply_());
    ::shutdown(connection.Get(), SD_SEND);
  }
}

int RefusingPort() {
  Winsock();
  int port = 0;
  ScopedSocket listener(Listen(port));
  return port;
}
