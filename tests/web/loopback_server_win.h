// A small HTTP server on 127.0.0.1 for the Windows-layer tests: it listens on
// an ephemeral port, runs on a thread of its own, records every request it
// receives (head and body, byte for byte) and answers each with what the
// test's answer function gives. Windows only (Winsock).
#pragma once

// The shim first, so that <windows.h> is set up in the one place; Winsock 2
// after it (the lean <windows.h> does not pull in the old <winsock.h>).
// clang-format off
#include "core/win32.h"
#include <winsock2.h>
// clang-format on

#include <atomic>
#include <cctype>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
 public:
  // The raw response for a request.
  using Answer = std::function<std::string(const std::string& request)>;

  // With `holdOpen`, the connection stays open after the response (which may
  // be empty, or stop short of its Content-Length) until the client closes it,
  // the server ends or `holdLimit` has passed; so a client without a working
  // time-out fails its test instead of hanging it.
  explicit LoopbackServer(Answer answer, bool holdOpen = false,
                          std::chrono::milliseconds holdLimit = std::chrono::seconds(30))
      : answer_(std::move(answer)), holdOpen_(holdOpen), holdLimit_(holdLimit) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    int length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    thread_.join();
    ::closesocket(listener_);
    ::WSACleanup();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int Port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

  // A port on 127.0.0.1 where nothing listens: a connection there is refused.
  static int UnusedPort() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::closesocket(probe);
    ::WSACleanup();
    return ntohs(address.sin_port);
  }

 private:
  static sockaddr_in Loopback(int port) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
  }

  // True when the socket has something to read within 50 ms.
  static bool Readable(SOCKET socket) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait = {0, 50 * 1000};
    return ::select(0, &set, nullptr, nullptr, &wait) > 0;
  }

  void Run() {
    while (!stop_) {
      if (!Readable(listener_)) continue;
      SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      Serve(client);
      ::closesocket(client);
    }
  }

  // Reads one request: the head up to the empty line, then as many body
  // bytes as Content-Length says.
  std::string ReadRequest(SOCKET client) {
    std::string request;
    std::size_t expected = std::string::npos;
    char buffer[4096];
    while (!stop_ && (expected == std::string::npos || request.size() < expected)) {
      if (!Readable(client)) continue;
      const int got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
      const std::size_t headEnd = request.find("\r\n\r\n");
      if (expected == std::string::npos && headEnd != std::string::npos) {
        expected = headEnd + 4 + ContentLength(request.substr(0, headEnd));
      }
    }
    return request;
  }

  static std::size_t ContentLength(const std::string& head) {
    std::string lower = head;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos) return 0;
    return static_cast<std::size_t>(std::stoul(head.substr(at + 17)));
  }

  void Serve(SOCKET client) {
    const std::string request = ReadRequest(client);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    const std::string response = answer_(request);
    ::send(client, response.data(), static_cast<int>(response.size()), 0);
    if (!holdOpen_) {
      ::shutdown(client, SD_SEND);
      return;
    }
    const auto limit = std::chrono::steady_clock::now() + holdLimit_;
    char buffer[256];
    while (!stop_ && std::chrono::steady_clock::now() < limit) {
      if (Readable(client) && ::recv(client, buffer, sizeof buffer, 0) <= 0) break;
    }
  }

  Answer answer_;
  bool holdOpen_;
  std::chrono::milliseconds holdLimit_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};
