// The program's HttpClient: WebRequest with every parameter but the address,
// the method and the one output wanted left out, so WebRequest's defaults hold
// (default headers, 15 s time-outs, a new request object, no proxy, no
// cookies, no body).
#include "netfacts/http_client.h"
#include "web/web_request.h"

namespace {

class WebRequestHttpClient final : public HttpClient {
 public:
  // The arguments are set member by member: GCC 12's -Wextra warns about
  // every member a designated initializer leaves out.
  Text Head(const Text& url) override {
    Text responseHeaders;
    WebRequestArgs args;
    args.method = kHead;
    args.responseHeaders = &responseHeaders;
    WebRequest(url, args);  // the body of a HEAD is discarded
    return responseHeaders;
  }
  ByteArray Get(const Text& url) override {
    WebRequestArgs args;
    args.method = kGet;
    return WebRequest(url, args);
  }
};

}  // namespace

HttpClient& WebRequestClient() {
  static WebRequestHttpClient client;
  return client;
}
