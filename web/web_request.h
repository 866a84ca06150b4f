// WebRequest: one HTTP exchange over the platform's WinHTTP automation object.
//
// The routine composes the request itself (browser-like default headers that
// the caller did not give, capitalised header names, cookies, a proxy with
// credentials, redirects off on request, certificate errors always ignored),
// sends it synchronously and hands back the body, with the raw response
// header block, the status and the cookies the server set as optional
// outputs. Failures are silent: an exchange that fails gives an empty body,
// an empty header block, status 0 and an empty cookie list.
#pragma once

#include <memory>
#include <optional>

#include "core/text.h"
#include "web/request_object.h"

// Rows of the method table; any other value of `method` sends "GET".
enum RequestMethod : int {
  kGet = 0,
  kPost = 1,
  kHead = 2,
  kPut = 3,
  kOptions = 4,
  kDelete = 5,
  kTrace = 6,
  kConnect = 7,
};

// The parameters after `url`, in the routine's order; a caller writes only the
// ones it gives, with designated initializers:
//
//   Text block;
//   WebRequest(url, {.method = kHead, .responseHeaders = &block});
//
// A left-out member behaves exactly like its default value, except where the
// routine tells "left out" from "given": `cookies` (a null pointer is "not
// supplied"; a pointer to an empty Text is supplied and still sends an empty
// Cookie header), `credentialFlags`, `requestObject` and the three switches
// (left out = true). Outputs are pointers to the caller's variables; a null
// output is discarded. Nothing is written when the request object cannot be
// created.
//
// Every member has an initializer, so that GCC's -Wmissing-field-initializers
// stays quiet about the members a designated initializer leaves out.
struct WebRequestArgs {
  int method = kGet;
  // Sent when `bodyBytes` is empty.
  Text bodyText{};
  // In/out: the cookie list sent as the Cookie header (every "Cookie:" in it
  // removed); receives the merged list when `autoMergeCookies` is on.
  Text* cookies = nullptr;
  // Out: the list built from the response's Set-Cookie lines (the merged list
  // when the merge runs).
  Text* returnedCookies = nullptr;
  // In/out: extra request headers, lines joined by "\r\n"; receives the block
  // as composed (defaults added, names normalised). Null: an empty block.
  Text* headers = nullptr;
  // Out: the raw response header block, lines ended by "\r\n".
  Text* responseHeaders = nullptr;
  // Out: the response status code, 0 when there was no response.
  int* status = nullptr;
  bool noRedirect = false;
  // Sent instead of `bodyText` when not empty; may hold zero bytes.
  ByteArray bodyBytes{};
  // The proxy server address; empty: no proxy.
  Text proxy{};
  // Each of the four time-outs, in seconds: 0 or less gives 15 s; -1 leaves
  // the platform's own time-outs alone.
  int timeoutSeconds = 0;
  // Credentials, used only when both `proxy` and `proxyUser` are given.
  Text proxyUser{};
  Text proxyPassword{};
  // Flags for SetCredentials: 1 (left out) for the proxy, also sending a
  // Basic Proxy-Authorization header; 0 for the server.
  std::optional<int> credentialFlags{};
  // An existing object to use; left out: a new one is created. The routine
  // takes its own reference and drops only that.
  std::shared_ptr<RequestObject> requestObject{};
  // Merge the returned cookies into `cookies` (when `cookies` is supplied).
  std::optional<bool> autoMergeCookies{};
  // Append the default request headers that `headers` lacks.
  std::optional<bool> addDefaultHeaders{};
  // Rewrite `headers` with NormalizeHeaderBlock.
  std::optional<bool> normalizeHeaders{};
};

// Performs the exchange and returns the response body (empty when the
// exchange failed or the response had none). `platform` is the seam to the
// request object; callers leave it out.
ByteArray WebRequest(const Text& url, const WebRequestArgs& args = {},
                     RequestPlatform& platform = SystemRequestPlatform());
