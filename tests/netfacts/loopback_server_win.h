// A small HTTP server on 127.0.0.1 for the tests of the Windows layer. One
// thread accepts one connection at a time, keeps the request's first line and
// answers with the reply the test set, then closes the connection.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A whole HTTP/1.1 reply: status 200, the given header lines (each ended by
// "\r\n"), Content-Length of the body, Connection: close, and the body.
std::string HttpReply(const std::string& headerLines, const std::string& body = "");

class LoopbackHttpServer {
 public:
  // `reply` is called for every request, on the server's thread; an empty
  // answer closes the connection without a word.
  explicit LoopbackHttpServer(std::function<std::string()> reply);
  explicit LoopbackHttpServer(std::string reply);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // "http://127.0.0.1:<port>" followed by path.
  std::string Url(const std::string& path) const;
  // The first lines of the requests received so far, such as "HEAD / HTTP/1.1".
  std::vector<std::string> RequestLines() const;

 private:
  void Serve();

  std::function<std::string()> reply_;
  std::uintptr_t listener_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> requestLines_;
  bool stopping_ = false;
  std::thread thread_;
};

// The port of a listening socket that is closed again at once: a connection
// to it is refused.
int RefusingPort();
