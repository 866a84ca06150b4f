// Tests of the request routine on the real WinHTTP automation object, against
// small HTTP servers the tests start on 127.0.0.1. Run under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/web/loopback_server_win.h"
#include "web/header_helpers.h"
#include "web/web_request.h"
#include "web/winhttp_request_win.h"

namespace {

const std::string kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// A whole response; the connection closes after it.
std::string Response(const std::string& statusLine, const std::string& headerLines,
                     const std::string& body, bool announceBody = true) {
  return "HTTP/1.1 " + statusLine + "\r\n" + headerLines +
         (announceBody ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "") +
         "Connection: close\r\n\r\n" + body;
}

std::string Head(const std::string& request) {
  return request.substr(0, request.find("\r\n\r\n"));
}

std::string Body(const std::string& request) {
  const std::size_t end = request.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : request.substr(end + 4);
}

std::vector<std::string> HeadLines(const std::string& request) {
  std::vector<std::string> lines;
  const std::string head = Head(request);
  std::size_t from = 0;
  while (from <= head.size()) {
    const std::size_t end = head.find("\r\n", from);
    lines.push_back(head.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    from = end + 2;
  }
  return lines;
}

// The lines of the request head that begin with `prefix` (e.g. "Cookie:").
std::vector<std::string> LinesStartingWith(const std::string& request, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& line : HeadLines(request)) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

std::string AsString(const ByteArray& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(WinHttpRequestTest, GetAndHeadWithAllDefaultsSendTheFourDefaultHeadersInOrder) {
  struct {
    int method;
    const char* methodText;
    std::string expectedBody;
  } cases[] = {{kGet, "GET", "hello"}, {kHead, "HEAD", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.methodText);
    LoopbackServer server([](const std::string&) {
      return Response("200 OK", "Date: Fri, 04 Oct 2019 06:31:42 GMT\r\nX-Test: yes\r\n", "hello");
    });
    const std::string url = server.Url("/index");
    Text headers;
    Text responseHeaders;
    int status = -1;
    const ByteArray body = WebRequest(url, {.method = c.method,
                                            .headers = &headers,
                                            .responseHeaders = &responseHeaders,
                                            .status = &status});

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    std::printf("%s request as received:\n%s\n", c.methodText, Head(requests[0]).c_str());
    const std::vector<std::string> lines = HeadLines(requests[0]);
    EXPECT_EQ(lines[0], std::string(c.methodText) + " /index HTTP/1.1");
    const std::string expected[] = {"Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
                                    "User-Agent: " + kUserAgent};
    std::size_t previous = 0;
    for (const std::string& line : expected) {
      SCOPED_TRACE(line);
      const std::string name = line.substr(0, line.find(':') + 1);
      ASSERT_EQ(LinesStartingWith(requests[0], name), std::vector<std::string>{line});
      std::size_t at = 0;
      while (lines[at] != line) ++at;
      EXPECT_GT(at, previous) << "the defaults go out in their order";
      previous = at;
    }

    EXPECT_EQ(headers, Text("Accept: */*\r\nReferer: " + url +
                            "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kUserAgent));
    EXPECT_EQ(AsString(body), c.expectedBody);
    EXPECT_EQ(status, 200);
    EXPECT_NE(TextFind(responseHeaders, "X-Test: yes\r\n"), -1) << responseHeaders.bytes();
    EXPECT_EQ(TextRight(responseHeaders, 2), "\r\n");
    // What the network-time readout cuts out of the block.
    EXPECT_EQ(TextBetween(responseHeaders, "Date:", "\r\n"), " Fri, 04 Oct 2019 06:31:42 GMT");
  }
}

TEST(WinHttpRequestTest, PostSendsItsBodyWithOneContentType) {
  struct {
    const char* name;
    Text headers;
    std::string expectedContentType;
  } cases[] = {
      {"without Content-Type", "", "Content-Type: application/x-www-form-urlencoded"},
      {"with the caller's Content-Type", "content-type: text/plain", "Content-Type: text/plain"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server([](const std::string&) { return Response("200 OK", "", "done"); });
    Text headers = c.headers;
    const ByteArray body = WebRequest(
        server.Url("/form"), {.method = kPost, .bodyText = "a=1&b=2", .headers = &headers});
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(HeadLines(requests[0])[0], "POST /form HTTP/1.1");
    EXPECT_EQ(LinesStartingWith(requests[0], "Content-Type:"),
              std::vector<std::string>{c.expectedContentType});
    EXPECT_EQ(Body(requests[0]), "a=1&b=2");
    EXPECT_EQ(AsString(body), "done");
  }
}

TEST(WinHttpRequestTest, BodyBytesWithZeroBytesArriveWhole) {
  LoopbackServer server([](const std::string&) { return Response("200 OK", "", ""); });
  const ByteArray bytes = {0x00, 0x01, 0x00, 0xFF, 'z', 0x00};
  WebRequest(server.Url("/upload"), {.method = kPut, .bodyText = "ignored", .bodyBytes = bytes});
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(LinesStartingWith(requests[0], "Content-Length:"),
            std::vector<std::string>{"Content-Length: 6"});
  EXPECT_EQ(Body(requests[0]), AsString(bytes));
}

TEST(WinHttpRequestTest, CookiesAreSentAndSetCookieLinesMergedIntoThem) {
  LoopbackServer server([](const std::string&) {
    return Response("200 OK", "Set-Cookie: b=3; path=/\r\nSet-Cookie: c=4\r\n", "");
  });
  Text cookies = "a=1; b=2";
  Text returnedCookies;
  WebRequest(server.Url("/"), {.cookies = &cookies, .returnedCookies = &returnedCookies});
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(LinesStartingWith(requests[0], "Cookie:"),
            std::vector<std::string>{"Cookie: a=1; b=2"});
  EXPECT_EQ(returnedCookies, "b=3; c=4; a=1");
  EXPECT_EQ(cookies, "b=3; c=4; a=1");

  Text unmerged;
  LoopbackServer second([](const std::string&) {
    return Response("200 OK", "Set-Cookie: b=3; path=/\r\nSet-Cookie: c=4\r\n", "");
  });
  WebRequest(second.Url("/"), {.returnedCookies = &unmerged});
  EXPECT_EQ(unmerged, "b=3; c=4");
}

TEST(WinHttpRequestTest, RedirectIsFollowedUnlessNoRedirect) {
  auto answer = [](const std::string& request) {
    if (request.rfind("GET /start ", 0) == 0) {
      return Response("302 Found", "Location: /target\r\n", "moved");
    }
    return Response("200 OK", "", "target");
  };
  {
    LoopbackServer server(answer);
    int status = 0;
    const ByteArray body = WebRequest(server.Url("/start"), {.status = &status});
    EXPECT_EQ(status, 200);
    EXPECT_EQ(AsString(body), "target");
    EXPECT_EQ(server.Requests().size(), 2u);
  }
  {
    LoopbackServer server(answer);
    int status = 0;
    Text responseHeaders;
    const ByteArray body =
        WebRequest(server.Url("/start"),
                   {.responseHeaders = &responseHeaders, .status = &status, .noRedirect = true});
    EXPECT_EQ(status, 302);
    EXPECT_EQ(AsString(body), "moved");
    EXPECT_NE(TextFind(responseHeaders, "Location: /target"), -1) << responseHeaders.bytes();
    EXPECT_EQ(server.Requests().size(), 1u);
  }
}

// Wine exports wine_get_version from its ntdll; Windows does not.
bool RunningUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

double SecondsSince(std::chrono::steady_clock::time_point began) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// timeoutSeconds 2 against servers that hold the connection open. The bounds
// are generous; the figures are printed.
TEST(WinHttpRequestTest, ServerStalledInTheBodyTimesOutAfterAboutTheTimeout) {
  LoopbackServer server(
      [](const std::string&) {
        return std::string("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial");
      },
      /*holdOpen=*/true, std::chrono::seconds(10));
  int status = -1;
  const auto began = std::chrono::steady_clock::now();
  const ByteArray body = WebRequest(server.Url("/"), {.status = &status, .timeoutSeconds = 2});
  const double seconds = SecondsSince(began);
  std::printf(
      "server stalled after 7 of 100 body bytes, timeoutSeconds 2: returned after %.2f s, "
      "status %d\n",
      seconds, status);
  EXPECT_TRUE(body.empty()) << "a body that broke off is no body";
  EXPECT_GE(seconds, 1.5);
  EXPECT_LT(seconds, 8.0);
}

TEST(WinHttpRequestTest, ServerThatNeverAnswersHoldsTheCallUntilTheTimeout) {
  constexpr double kHoldSeconds = 6;
  LoopbackServer server([](const std::string&) { return std::string(); }, /*holdOpen=*/true,
                        std::chrono::milliseconds(static_cast<int>(kHoldSeconds * 1000)));
  Text responseHeaders = "sentinel";
  int status = -1;
  const auto began = std::chrono::steady_clock::now();
  const ByteArray body =
      WebRequest(server.Url("/"),
                 {.responseHeaders = &responseHeaders, .status = &status, .timeoutSeconds = 2});
  const double seconds = SecondsSince(began);
  std::printf(
      "server that accepts and never answers (gives up after %.0f s), timeoutSeconds 2: "
      "returned after %.2f s\n",
      kHoldSeconds, seconds);
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(responseHeaders, "");
  EXPECT_EQ(status, 0);
  if (RunningUnderWine()) {
    // Wine 8 waits for the status line with no time-out at all (the object
    // offers no member for the response time-out): the call returns only
    // when the server gives up the connection.
    EXPECT_GE(seconds, kHoldSeconds - 0.5);
  } else {
    EXPECT_GE(seconds, 1.5);
    EXPECT_LT(seconds, kHoldSeconds - 0.5);
  }
}

TEST(WinHttpRequestTest, ProxyUserSendsBasicProxyAuthorization) {
  // Windows sends the request to the proxy; Wine ignores SetProxy and goes
  // direct. Either way exactly one request goes out, and it carries the header.
  auto answer = [](const std::string&) { return Response("200 OK", "", "via"); };
  LoopbackServer target(answer);
  LoopbackServer proxy(answer);
  int status = 0;
  WebRequest(target.Url("/"), {.status = &status,
                               .proxy = "127.0.0.1:" + std::to_string(proxy.Port()),
                               .proxyUser = "user",
                               .proxyPassword = "pw"});
  std::vector<std::string> requests = target.Requests();
  const std::vector<std::string> proxied = proxy.Requests();
  std::printf("target got %zu request(s), proxy got %zu\n", requests.size(), proxied.size());
  requests.insert(requests.end(), proxied.begin(), proxied.end());
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(LinesStartingWith(requests[0], "Proxy-Authorization:"),
            std::vector<std::string>{"Proxy-Authorization: Basic dXNlcjpwdw=="});
  EXPECT_EQ(status, 200);
}

TEST(WinHttpRequestTest, CredentialFlagsZeroGiveTheServerBasicCredentials) {
  // Both servers ask for Basic credentials until they get them; whichever the
  // request reaches (the proxy on Windows, the target under Wine), the
  // object answers the challenge with the user name and password given.
  // Wine 8 sends Basic credentials for the server with the first request
  // already; Windows waits for the challenge.
  auto answer = [](const std::string& request) {
    if (request.find("\r\nAuthorization: Basic ") == std::string::npos) {
      return Response("401 Unauthorized", "WWW-Authenticate: Basic realm=\"zq\"\r\n", "");
    }
    return Response("200 OK", "", "in");
  };
  LoopbackServer target(answer);
  LoopbackServer proxy(answer);
  int status = 0;
  const ByteArray body =
      WebRequest(target.Url("/"), {.status = &status,
                                   .proxy = "127.0.0.1:" + std::to_string(proxy.Port()),
                                   .proxyUser = "user",
                                   .proxyPassword = "pw",
                                   .credentialFlags = 0});
  std::vector<std::string> requests = target.Requests();
  const std::vector<std::string> proxied = proxy.Requests();
  requests.insert(requests.end(), proxied.begin(), proxied.end());
  std::printf("requests made for the server's credentials: %zu\n", requests.size());
  ASSERT_GE(requests.size(), 1u);
  EXPECT_LE(requests.size(), 2u);
  EXPECT_EQ(LinesStartingWith(requests.back(), "Authorization:"),
            std::vector<std::string>{"Authorization: Basic dXNlcjpwdw=="});
  for (const std::string& request : requests) {
    EXPECT_TRUE(LinesStartingWith(request, "Proxy-Authorization:").empty()) << request;
  }
  EXPECT_EQ(status, 200);
  EXPECT_EQ(AsString(body), "in");
}

TEST(WinHttpRequestTest, RefusedConnectionGivesEmptyOutputs) {
  const std::string url = "http://127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort()) + "/";
  Text responseHeaders = "sentinel";
  Text returnedCookies = "sentinel";
  int status = -1;
  const ByteArray body = WebRequest(url, {.returnedCookies = &returnedCookies,
                                          .responseHeaders = &responseHeaders,
                                          .status = &status});
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(responseHeaders, "");
  EXPECT_EQ(returnedCookies, "");
  EXPECT_EQ(status, 0);
}

TEST(WinHttpRequestTest, SuppliedObjectServesTwoRequests) {
  LoopbackServer server([](const std::string& request) {
    return Response("200 OK", "", request.substr(0, request.find(' ')));
  });
  RequestPlatform& platform = SystemRequestPlatform();
  platform.InitializeCom();
  {
    std::shared_ptr<RequestObject> object = platform.CreateRequestObject();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(AsString(WebRequest(server.Url("/1"), {.requestObject = object})), "GET");
    EXPECT_EQ(AsString(WebRequest(server.Url("/2"), {.method = kPost, .requestObject = object})),
              "POST");
    EXPECT_EQ(object.use_count(), 1);
  }
  platform.UninitializeCom();
  EXPECT_EQ(server.Requests().size(), 2u);
}

// Each member call in the routine's order, with what the object answered.
// The routine ignores these results; the record shows which calls the
// platform refuses (printed, and asserted where Windows and Wine agree).
TEST(WinHttpRequestTest, MemberCallsAndWhatTheObjectAnswers) {
  LoopbackServer server([](const std::string&) { return Response("200 OK", "", "ok"); });
  RequestPlatform& platform = SystemRequestPlatform();
  platform.InitializeCom();
  {
    std::shared_ptr<WinHttpRequestObject> object = CreateWinHttpRequestObject();
    ASSERT_NE(object, nullptr);
    auto note = [&](const char* call) {
      std::printf("%-40s hr=0x%08lX\n", call, static_cast<unsigned long>(object->LastResult()));
      return object->LastResult();
    };
    object->SetCredentials("u", "p", 1);
    EXPECT_TRUE(FAILED(note("SetCredentials before Open"))) << "refused on Windows as well";
    object->SetTimeouts(15000, 15000, 15000, 15000);
    EXPECT_EQ(note("SetTimeouts"), S_OK);
    object->SetProxy(2, Text("127.0.0.1:" + std::to_string(server.Port())));
    note("SetProxy(2, address)");
    object->Open("GET", Text(server.Url("/")), false);
    EXPECT_EQ(note("Open"), S_OK);
    object->SetOption(6, 0);
    EXPECT_EQ(note("Option(6) = 0 (EnableRedirects)"), S_OK);
    object->SetOption(4, 0x3300);
    note("Option(4) = 0x3300 (SslErrorIgnoreFlags)");
    object->SetCredentials("u", "p", 1);
    note("SetCredentials(u, p, 1) after Open");
    object->SetCredentials("u", "p", 0);
    note("SetCredentials(u, p, 0) after Open");
    object->SetRequestHeader("", "");
    EXPECT_TRUE(FAILED(note("SetRequestHeader with an empty name")));
    object->SetRequestHeader("X-Name", "值");
    EXPECT_EQ(note("SetRequestHeader(X-Name, GBK text)"), S_OK);
    object->Send(Text());
    EXPECT_EQ(note("Send(empty string)"), S_OK);
    EXPECT_EQ(AsString(object->ResponseBody()), "ok");
    note("ResponseBody");
    EXPECT_NE(TextFind(object->GetAllResponseHeaders(), "Content-Length: 2\r\n"), -1);
    note("GetAllResponseHeaders");
    EXPECT_EQ(object->Status(), 200);
    note("Status");
  }
  platform.UninitializeCom();
}

}  // namespace
