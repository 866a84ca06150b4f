// A recording HttpClient for native tests: answers every request with the
// reply it was given and logs each as "HEAD <url>" or "GET <url>".
#pragma once

#include <string>
#include <vector>

#include "netfacts/http_client.h"

class FakeHttpClient : public HttpClient {
 public:
  Text responseHeaders;
  ByteArray body;
  std::vector<std::string> requests;

  Text Head(const Text& url) override {
    requests.push_back("HEAD " + url.bytes());
    return responseHeaders;
  }
  ByteArray Get(const Text& url) override {
    requests.push_back("GET " + url.bytes());
    return body;
  }
};
