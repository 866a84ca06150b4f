// The request routine: everything of an HTTP exchange that is not the
// platform's (method table, default headers, header normalisation, the
// headers to set, the cookie text, the proxy authorisation value, the
// returned-cookie list), driving the request object through its seam in a
// fixed order.
#include "web/web_request.h"

#include <climits>
#include <cstdint>

#include "web/cookies.h"
#include "web/header_helpers.h"

namespace {

constexpr const char* kMethodTexts[] = {"GET",     "POST",   "HEAD",  "PUT",
                                        "OPTIONS", "DELETE", "TRACE", "CONNECT"};

// Key searched (ignoring ASCII case) and the line appended when it is absent;
// the Referer line ends with the url.
struct DefaultHeader {
  const char* key;
  const char* line;
  bool followedByUrl;
};
constexpr DefaultHeader kDefaultHeaders[] = {
    {"Accept:", "\r\nAccept: */*", false},
    {"Referer:", "\r\nReferer: ", true},
    {"Accept-Language:", "\r\nAccept-Language: zh-cn", false},
    {"User-Agent:", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)", false},
};
// Checked only for POST.
constexpr DefaultHeader kPostContentType = {
    "Content-Type:", "\r\nContent-Type: application/x-www-form-urlencoded", false};

constexpr int kDefaultTimeoutMs = 15000;
constexpr int kProxySettingProxy = 2;          // HTTPREQUEST_PROXYSETTING_PROXY
constexpr int kCredentialsForProxy = 1;        // HTTPREQUEST_SETCREDENTIALS_FOR_PROXY
constexpr int kOptionEnableRedirects = 6;      // WinHttpRequestOption_EnableRedirects
constexpr int kOptionSslErrorIgnoreFlags = 4;  // WinHttpRequestOption_SslErrorIgnoreFlags
constexpr int kSslErrorIgnoreAll = 0x3300;     // SslErrorFlag_Ignore_All

// CoInitialize for the length of one request; CoUninitialize on every path.
class ComScope {
 public:
  explicit ComScope(RequestPlatform& platform) : platform_(platform) { platform_.InitializeCom(); }
  ~ComScope() { platform_.UninitializeCom(); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  RequestPlatform& platform_;
};

// seconds × 1000, 15 s for anything below 1. A value whose milliseconds do not
// fit a 32-bit integer is held at the largest one.
int TimeoutMilliseconds(int timeoutSeconds) {
  if (timeoutSeconds < 1) return kDefaultTimeoutMs;
  const std::int64_t ms = static_cast<std::int64_t>(timeoutSeconds) * 1000;
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// The automation number truncated toward zero; anything outside the range of
// an int (or not a number) is no status at all.
int TruncatedStatus(double status) {
  if (!(status > INT_MIN - 1.0 && status < INT_MAX + 1.0)) return 0;
  return static_cast<int>(status);
}

Text WithDefaultHeaders(Text headers, const Text& url, int method) {
  // Each check sees the lines appended before it.
  auto addIfAbsent = [&](const DefaultHeader& row) {
    if (TextFind(headers, row.key, std::nullopt, /*caseInsensitive=*/true) != -1) return;
    headers += row.line;
    if (row.followedByUrl) headers += url;
  };
  for (const DefaultHeader& row : kDefaultHeaders) addIfAbsent(row);
  if (method == kPost) addIfAbsent(kPostContentType);
  return headers;
}

void SetExtraHeaders(RequestObject& object, const Text& headers) {
  if (TextFind(headers, "\r\n") == -1) {
    // A single line is set as it stands: neither an empty block nor a
    // Connection line is skipped on this path.
    object.SetRequestHeader(HeaderLineName(headers), HeaderLineValue(headers));
    return;
  }
  for (const Text& line : TextSplit(headers, "\r\n")) {
    if (line.empty()) continue;
    const Text name = HeaderLineName(line);
    const Text value = HeaderLineValue(line);
    if (name == "Connection" && value == "keep-alive") continue;
    object.SetRequestHeader(name, value);
  }
}

// The cookie list of the response's Set-Cookie lines: for each, the text up to
// its first ";" (attributes dropped), trimmed; joined with "; ".
Text CookiesFromResponse(const Text& responseHeaders) {
  Text cookies;
  bool first = true;
  for (const Text& line : TextSplit(responseHeaders, "\r\n")) {
    if (TextBefore(line, ": ") != "Set-Cookie") continue;
    Text item;
    if (TextFind(line, ";") != -1) {
      item = TextTrim(TextBetween(line, "Set-Cookie:", ";"));
    } else {
      item = TextTrim(TextSubstitute(line, "Set-Cookie:"));  // ignoring ASCII case
    }
    if (!first) cookies += "; ";
    cookies += item;  // also when empty
    first = false;
  }
  return cookies;
}

}  // namespace

ByteArray WebRequest(const Text& url, const WebRequestArgs& args, RequestPlatform& platform) {
  // 1. Switches left out are on.
  const bool autoMergeCookies = args.autoMergeCookies.value_or(true);
  const bool addDefaultHeaders = args.addDefaultHeaders.value_or(true);
  const bool normalizeHeaders = args.normalizeHeaders.value_or(true);

  // 2. COM for this call; it ends after the object is released (step 21), on
  // every path.
  ComScope com(platform);

  // 3. Method.
  const int method = args.method < 0 || args.method > 7 ? kGet : args.method;
  const Text methodText = kMethodTexts[method];

  // 4. Object: the caller's (our own reference to it) or a new one. Without
  // one nothing of the caller's is written.
  std::shared_ptr<RequestObject> object =
      args.requestObject ? args.requestObject : platform.CreateRequestObject();
  if (!object) return ByteArray();

  // 5. Time-outs.
  if (args.timeoutSeconds != -1) {
    const int ms = TimeoutMilliseconds(args.timeoutSeconds);
    object->SetTimeouts(ms, ms, ms, ms);
  }

  // 6.-9. Proxy, Open, redirects, certificate errors.
  if (!args.proxy.empty()) object->SetProxy(kProxySettingProxy, args.proxy);
  object->Open(methodText, url, /*async=*/false);
  if (args.noRedirect) object->SetOption(kOptionEnableRedirects, 0);
  object->SetOption(kOptionSslErrorIgnoreFlags, kSslErrorIgnoreAll);

  // 10.-11. The header block, written back to the caller at each step.
  Text headers = args.headers ? *args.headers : Text();
  if (addDefaultHeaders) {
    headers = WithDefaultHeaders(headers, url, method);
    if (args.headers) *args.headers = headers;
  }
  if (normalizeHeaders) {
    headers = NormalizeHeaderBlock(headers);
    if (args.headers) *args.headers = headers;
  }

  // 12. Credentials, only with both a proxy and a user name.
  if (!args.proxy.empty() && !args.proxyUser.empty()) {
    const int flags = args.credentialFlags.value_or(kCredentialsForProxy);
    object->SetCredentials(args.proxyUser, args.proxyPassword, flags);
    if (flags == kCredentialsForProxy) {
      object->SetRequestHeader(
          "Proxy-Authorization",
          "Basic " + Base64Encode(ToBytes(args.proxyUser + ":" + args.proxyPassword)));
    }
  }

  // 13. The Cookie header, whenever cookies were supplied, even empty.
  Text cookies = args.cookies ? *args.cookies : Text();
  if (args.cookies) {
    if (!cookies.empty() &&
        TextFind(cookies, "Cookie:", std::nullopt, /*caseInsensitive=*/true) != -1) {
      cookies = TextSubstitute(cookies, "Cookie:");  // every one, ignoring ASCII case
      *args.cookies = cookies;
    }
    object->SetRequestHeader("Cookie", cookies);
  }

  // 14. The extra header lines.
  SetExtraHeaders(*object, headers);

  // 15. Send.
  if (!args.bodyBytes.empty()) {
    object->Send(args.bodyBytes);
  } else {
    object->Send(args.bodyText);
  }

  // 16.-18. Body, header block, status.
  ByteArray body = object->ResponseBody();
  const Text responseHeaders = object->GetAllResponseHeaders();
  if (args.responseHeaders) *args.responseHeaders = responseHeaders;
  const int status = TruncatedStatus(object->Status());
  if (args.status) *args.status = status;

  // 19. Returned cookies.
  Text returnedCookies = CookiesFromResponse(responseHeaders);
  if (args.returnedCookies) *args.returnedCookies = returnedCookies;

  // 20. Merge into the caller's cookies.
  if (autoMergeCookies && args.cookies) {
    const Text merged = MergeCookies(cookies, returnedCookies);
    *args.cookies = merged;
    if (args.returnedCookies) *args.returnedCookies = merged;
  }

  // 21. Only our reference is dropped; a caller's object stays usable. COM
  // ends when `com` goes out of scope, after this.
  object.reset();

  // 22.
  return body;
}
