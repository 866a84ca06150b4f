// Native tests of the request routine over a recording fake request object:
// the member calls, their order and arguments, and what lands in each output.
#include "web/web_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/web/fake_request_object.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const Text kUrl = "http://www.example.test/";
const char* const kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::string Header(const std::string& name, const std::string& value) {
  return "SetRequestHeader(\"" + name + "\", \"" + value + "\")";
}

TEST(WebRequestTest, AllDefaultsDriveTheObjectInOrder) {
  FakeRequestPlatform platform;
  platform.response = {ByteArray{'o', 'k', 0, '!'}, "HTTP/1.1 200 OK\r\n\r\n", 200};

  const ByteArray body = WebRequest(kUrl, {}, platform);

  EXPECT_EQ(body, (ByteArray{'o', 'k', 0, '!'}));
  EXPECT_THAT(*platform.log,
              ElementsAre("CoInitialize", "Create", "SetTimeouts(15000, 15000, 15000, 15000)",
                          "Open(\"GET\", \"http://www.example.test/\", false)", "Option(4) = 13056",
                          Header("Accept", "*/*"), Header("Referer", "http://www.example.test/"),
                          Header("Accept-Language", "zh-cn"), Header("User-Agent", kUserAgent),
                          "Send(\"\")", "ResponseBody", "GetAllResponseHeaders", "Status",
                          "Release", "CoUninitialize"));
}

TEST(WebRequestTest, EveryOptionInItsPlaceInTheSequence) {
  FakeRequestPlatform platform;
  Text cookies = "a=1";
  Text headers = "x-extra: 1";
  WebRequest(kUrl,
             {.method = kPost,
              .bodyText = "q=1",
              .cookies = &cookies,
              .headers = &headers,
              .noRedirect = true,
              .proxy = "127.0.0.1:8080",
              .timeoutSeconds = 5,
              .proxyUser = "u",
              .proxyPassword = "p"},
             platform);

  EXPECT_THAT(
      *platform.log,
      ElementsAre("CoInitialize", "Create", "SetTimeouts(5000, 5000, 5000, 5000)",
                  "SetProxy(2, \"127.0.0.1:8080\")",
                  "Open(\"POST\", \"http://www.example.test/\", false)", "Option(6) = 0",
                  "Option(4) = 13056", "SetCredentials(\"u\", \"p\", 1)",
                  Header("Proxy-Authorization", "Basic dTpw"), Header("Cookie", "a=1"),
                  Header("X-Extra", "1"), Header("Accept", "*/*"),
                  Header("Referer", "http://www.example.test/"), Header("Accept-Language", "zh-cn"),
                  Header("User-Agent", kUserAgent),
                  Header("Content-Type", "application/x-www-form-urlencoded"), "Send(\"q=1\")",
                  "ResponseBody", "GetAllResponseHeaders", "Status", "Release", "CoUninitialize"));
}

TEST(WebRequestTest, MethodIndexSelectsTheMethodTextAndOutOfRangeIsGet) {
  struct {
    int method;
    const char* text;
  } cases[] = {{-1, "GET"},    {0, "GET"},     {1, "POST"},   {2, "HEAD"},
               {3, "PUT"},     {4, "OPTIONS"}, {5, "DELETE"}, {6, "TRACE"},
               {7, "CONNECT"}, {8, "GET"},     {-100, "GET"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    FakeRequestPlatform platform;
    WebRequest(kUrl, {.method = c.method}, platform);
    EXPECT_THAT(platform.CallsOf("Open"), ElementsAre("Open(\"" + std::string(c.text) +
                                                      "\", \"http://www.example.test/\", "
                                                      "false)"));
  }
}

TEST(WebRequestTest, TimeoutSecondsGiveFourEqualTimeouts) {
  struct {
    int timeoutSeconds;
    const char* expected;  // nullptr: no SetTimeouts call
  } cases[] = {
      {0, "SetTimeouts(15000, 15000, 15000, 15000)"},
      {-5, "SetTimeouts(15000, 15000, 15000, 15000)"},
      {5, "SetTimeouts(5000, 5000, 5000, 5000)"},
      {1, "SetTimeouts(1000, 1000, 1000, 1000)"},
      {-1, nullptr},
      // Milliseconds beyond a 32-bit integer are held at the largest one.
      {3000000, "SetTimeouts(2147483647, 2147483647, 2147483647, 2147483647)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.timeoutSeconds);
    FakeRequestPlatform platform;
    WebRequest(kUrl, {.timeoutSeconds = c.timeoutSeconds}, platform);
    if (c.expected == nullptr) {
      EXPECT_THAT(platform.CallsOf("SetTimeouts"), IsEmpty());
    } else {
      EXPECT_THAT(platform.CallsOf("SetTimeouts"), ElementsAre(c.expected));
    }
  }
}

TEST(WebRequestTest, NoRedirectSwitchesRedirectsOffBeforeTheCertificateOption) {
  FakeRequestPlatform platform;
  WebRequest(kUrl, {.noRedirect = true}, platform);
  EXPECT_THAT(platform.CallsOf("Option"), ElementsAre("Option(6) = 0", "Option(4) = 13056"));

  FakeRequestPlatform following;
  WebRequest(kUrl, {.noRedirect = false}, following);
  EXPECT_THAT(following.CallsOf("Option"), ElementsAre("Option(4) = 13056"));
}

TEST(WebRequestTest, ComposesTheHeaderBlockAndSetsItsLines) {
  const std::string defaults =
      "Accept: */*\r\nReferer: http://www.example.test/\r\nAccept-Language: zh-cn\r\n"
      "User-Agent: " +
      std::string(kUserAgent);
  const CallLog defaultCalls = {
      Header("Accept", "*/*"), Header("Referer", "http://www.example.test/"),
      Header("Accept-Language", "zh-cn"), Header("User-Agent", kUserAgent)};
  auto with = [&](CallLog calls, const CallLog& more) {
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
  };
  struct {
    const char* name;
    int method;
    Text headers;
    std::optional<bool> addDefaultHeaders, normalizeHeaders;
    Text expectedHeaders;
    CallLog expectedCalls;
  } cases[] = {
      {"empty block gets the four defaults", kGet, "", {}, {}, defaults, defaultCalls},
      {"POST adds Content-Type",
       kPost,
       "",
       {},
       {},
       defaults + "\r\nContent-Type: application/x-www-form-urlencoded",
       with(defaultCalls, {Header("Content-Type", "application/x-www-form-urlencoded")})},
      {"PUT adds no Content-Type", kPut, "", {}, {}, defaults, defaultCalls},
      {"POST keeps the caller's Content-Type",
       kPost,
       "content-type: text/plain",
       {},
       {},
       "Content-Type: text/plain\r\n" + defaults,
       with({Header("Content-Type", "text/plain")}, defaultCalls)},
      {"lower-case Accept is not doubled and gets capitalised",
       kGet,
       "accept: text/html",
       {},
       {},
       "Accept: text/html\r\nReferer: http://www.example.test/\r\nAccept-Language: zh-cn\r\n"
       "User-Agent: " +
           std::string(kUserAgent),
       {Header("Accept", "text/html"), Header("Referer", "http://www.example.test/"),
        Header("Accept-Language", "zh-cn"), Header("User-Agent", kUserAgent)}},
      {"a key found inside another header's name counts",
       kGet,
       "x-accept: 1\r\nreferer: r\r\naccept-language: en\r\nuser-agent: me",
       {},
       {},
       "X-Accept: 1\r\nReferer: r\r\nAccept-Language: en\r\nUser-Agent: me",
       {Header("X-Accept", "1"), Header("Referer", "r"), Header("Accept-Language", "en"),
        Header("User-Agent", "me")}},
      {"without normalisation the block keeps its leading empty line",
       kGet,
       "",
       {},
       false,
       "\r\n" + defaults,
       defaultCalls},
      {"Connection: keep-alive skipped in a block of lines",
       kGet,
       "Connection: keep-alive\r\nx: 1",
       false,
       {},
       "Connection: keep-alive\r\nX: 1",
       {Header("X", "1")}},
      {"Connection: close is sent",
       kGet,
       "Connection: close\r\nx: 1",
       false,
       {},
       "Connection: close\r\nX: 1",
       {Header("Connection", "close"), Header("X", "1")}},
      {"lower-case connection: keep-alive is sent without normalisation",
       kGet,
       "connection: keep-alive\r\nx: 1",
       false,
       false,
       "connection: keep-alive\r\nx: 1",
       {Header("connection", "keep-alive"), Header("x", "1")}},
      {"a single line is set as it stands, even Connection: keep-alive",
       kGet,
       "Connection: keep-alive",
       false,
       {},
       "Connection: keep-alive",
       {Header("Connection", "keep-alive")}},
      {"an empty block without defaults sets an empty name",
       kGet,
       "",
       false,
       {},
       "",
       {Header("", "")}},
      {"lines without a colon are set with an empty name without normalisation",
       kGet,
       "nocolon\r\nx: 1",
       false,
       false,
       "nocolon\r\nx: 1",
       {Header("", ""), Header("x", "1")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRequestPlatform platform;
    Text headers = c.headers;
    WebRequest(kUrl,
               {.method = c.method,
                .headers = &headers,
                .addDefaultHeaders = c.addDefaultHeaders,
                .normalizeHeaders = c.normalizeHeaders},
               platform);
    EXPECT_EQ(headers, c.expectedHeaders);
    EXPECT_EQ(platform.CallsOf("SetRequestHeader"), c.expectedCalls);
  }
}

TEST(WebRequestTest, OmittedHeadersBehaveLikeAnEmptyBlock) {
  FakeRequestPlatform omitted;
  WebRequest(kUrl, {}, omitted);
  FakeRequestPlatform empty;
  Text headers;
  WebRequest(kUrl, {.headers = &headers}, empty);
  EXPECT_EQ(omitted.CallsOf("SetRequestHeader"), empty.CallsOf("SetRequestHeader"));

  FakeRequestPlatform bare;
  WebRequest(kUrl, {.addDefaultHeaders = false}, bare);
  EXPECT_THAT(bare.CallsOf("SetRequestHeader"), ElementsAre(Header("", "")));
}

TEST(WebRequestTest, CredentialsOnlyWithProxyAndUser) {
  struct {
    const char* name;
    Text proxy, proxyUser;
    std::optional<int> credentialFlags;
    CallLog expectedCredentials, expectedAuthorization;
  } cases[] = {
      {"flags omitted: for the proxy, with a Basic header",
       "p:1",
       "用户",
       {},
       {"SetCredentials(\"用户\", \"pw\", 1)"},
       {Header("Proxy-Authorization", "Basic 08O7pzpwdw==")}},
      {"flags 1 given",
       "p:1",
       "u",
       1,
       {"SetCredentials(\"u\", \"pw\", 1)"},
       {Header("Proxy-Authorization", "Basic dTpwdw==")}},
      {"flags 0: for the server, no header",
       "p:1",
       "u",
       0,
       {"SetCredentials(\"u\", \"pw\", 0)"},
       {}},
      {"no proxy: no credentials at all", "", "u", {}, {}, {}},
      {"no user: no credentials at all", "p:1", "", {}, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRequestPlatform platform;
    WebRequest(kUrl,
               {.proxy = c.proxy,
                .proxyUser = c.proxyUser,
                .proxyPassword = "pw",
                .credentialFlags = c.credentialFlags},
               platform);
    EXPECT_EQ(platform.CallsOf("SetCredentials"), c.expectedCredentials);
    EXPECT_EQ(platform.CallsOf("SetRequestHeader(\"Proxy-Authorization\""),
              c.expectedAuthorization);
  }
}

TEST(WebRequestTest, CookieHeaderWheneverCookiesAreSupplied) {
  struct {
    const char* name;
    Text cookies;
    Text expectedValue;  // sent and held by the caller's variable afterwards
  } cases[] = {
      {"plain list", "a=1; b=2", "a=1; b=2"},
      {"empty list still sent", "", ""},
      {"Cookie: removed, blank kept", "Cookie: a=1", " a=1"},
      {"every Cookie: removed, ignoring case", "cookie: a=1; COOKIE:b=2", " a=1; b=2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRequestPlatform platform;
    Text cookies = c.cookies;
    WebRequest(kUrl, {.cookies = &cookies, .autoMergeCookies = false}, platform);
    EXPECT_THAT(platform.CallsOf("SetRequestHeader(\"Cookie\""),
                ElementsAre(Header("Cookie", c.expectedValue.bytes())));
    EXPECT_EQ(cookies, c.expectedValue);
  }

  FakeRequestPlatform withoutCookies;
  WebRequest(kUrl, {}, withoutCookies);
  EXPECT_THAT(withoutCookies.CallsOf("SetRequestHeader(\"Cookie\""), IsEmpty());
}

TEST(WebRequestTest, SendsBodyBytesInsteadOfBodyText) {
  FakeRequestPlatform platform;
  auto object = platform.MakeObject();
  const ByteArray bytes = {'a', 0, 'b', 0};
  WebRequest(kUrl, {.bodyText = "ignored", .bodyBytes = bytes, .requestObject = object}, platform);
  EXPECT_THAT(platform.CallsOf("Send"), ElementsAre("Send(bytes[4])"));
  EXPECT_EQ(object->sentBytes, bytes);

  FakeRequestPlatform textPlatform;
  WebRequest(kUrl, {.bodyText = "名=值"}, textPlatform);
  EXPECT_THAT(textPlatform.CallsOf("Send"), ElementsAre("Send(\"名=值\")"));
}

TEST(WebRequestTest, WritesBodyHeaderBlockStatusAndReturnedCookies) {
  FakeRequestPlatform platform;
  platform.response = {ByteArray{'b'},
                       "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n"
                       "set-cookie: c=3\r\n\r\n",
                       200};
  Text responseHeaders = "sentinel";
  int status = -7;
  Text returnedCookies = "sentinel";
  const ByteArray body = WebRequest(
      kUrl,
      {.returnedCookies = &returnedCookies, .responseHeaders = &responseHeaders, .status = &status},
      platform);
  EXPECT_EQ(body, ByteArray{'b'});
  EXPECT_EQ(responseHeaders, platform.response.headers);
  EXPECT_EQ(status, 200);
  EXPECT_EQ(returnedCookies, "a=1; b=2");
}

TEST(WebRequestTest, StatusIsTruncatedTowardZero) {
  struct {
    double number;
    int expected;
  } cases[] = {{302.9, 302}, {-1.5, -1}, {0, 0}, {1e12, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    FakeRequestPlatform platform;
    platform.response.status = c.number;
    int status = 12345;
    WebRequest(kUrl, {.status = &status}, platform);
    EXPECT_EQ(status, c.expected);
  }
}

TEST(WebRequestTest, ReturnedCookiesComeFromSetCookieLinesOnly) {
  struct {
    const char* name;
    Text responseHeaders, expected;
  } cases[] = {
      {"attributes dropped", "Set-Cookie: a=1; path=/; HttpOnly\r\n", "a=1"},
      {"lower-case name ignored", "set-cookie: a=1\r\n", ""},
      {"no blank after the colon ignored", "Set-Cookie:a=1\r\n", ""},
      {"other headers ignored", "HTTP/1.1 200 OK\r\nX-Set-Cookie: a=1\r\n", ""},
      {"empty items kept", "Set-Cookie: a=1\r\nSet-Cookie: ; path=/\r\nSet-Cookie: b=2\r\n",
       "a=1; ; b=2"},
      {"every Set-Cookie: removed from a line without semicolon", "Set-Cookie: x=set-cookie:y \r\n",
       "x=y"},
      {"colon-blank inside the value", "Set-Cookie: a=b: c; d\r\n", "a=b: c"},
      {"no response", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRequestPlatform platform;
    platform.response.headers = c.responseHeaders;
    Text returnedCookies = "sentinel";
    WebRequest(kUrl, {.returnedCookies = &returnedCookies}, platform);
    EXPECT_EQ(returnedCookies, c.expected);
  }
}

TEST(WebRequestTest, MergesReturnedCookiesIntoSuppliedCookies) {
  struct {
    const char* name;
    bool supplyCookies;
    std::optional<bool> autoMergeCookies;
    Text expectedCookies, expectedReturned;
  } cases[] = {
      {"merged into both", true, {}, "b=3; c=4; a=1", "b=3; c=4; a=1"},
      {"merged when switched on explicitly", true, true, "b=3; c=4; a=1", "b=3; c=4; a=1"},
      {"merge switched off", true, false, "a=1; b=2", "b=3; c=4"},
      {"cookies not supplied", false, {}, "a=1; b=2", "b=3; c=4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRequestPlatform platform;
    platform.response.headers = "Set-Cookie: b=3\r\nSet-Cookie: c=4; path=/\r\n";
    Text cookies = "a=1; b=2";
    Text returnedCookies;
    WebRequest(kUrl,
               {.cookies = c.supplyCookies ? &cookies : nullptr,
                .returnedCookies = &returnedCookies,
                .autoMergeCookies = c.autoMergeCookies},
               platform);
    EXPECT_EQ(cookies, c.expectedCookies);
    EXPECT_EQ(returnedCookies, c.expectedReturned);
  }
}

TEST(WebRequestTest, FailedExchangeGivesEmptyOutputsAndStillMerges) {
  FakeRequestPlatform platform;  // the object answers nothing
  Text cookies = "Cookie: a=1; ";
  Text returnedCookies = "sentinel";
  Text responseHeaders = "sentinel";
  int status = 99;
  const ByteArray body = WebRequest(kUrl,
                                    {.cookies = &cookies,
                                     .returnedCookies = &returnedCookies,
                                     .responseHeaders = &responseHeaders,
                                     .status = &status},
                                    platform);
  EXPECT_THAT(body, IsEmpty());
  EXPECT_EQ(responseHeaders, "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(cookies, "a=1");
  EXPECT_EQ(returnedCookies, "a=1");
}

TEST(WebRequestTest, FailedCreationWritesNothingAndEndsCom) {
  FakeRequestPlatform platform;
  platform.creationFails = true;
  platform.response = {ByteArray{'x'}, "Set-Cookie: a=1\r\n", 200};
  Text cookies = "cookie: c=1";
  Text returnedCookies = "returned";
  Text headers = "headers";
  Text responseHeaders = "response";
  int status = 42;
  const ByteArray body = WebRequest(kUrl,
                                    {.cookies = &cookies,
                                     .returnedCookies = &returnedCookies,
                                     .headers = &headers,
                                     .responseHeaders = &responseHeaders,
                                     .status = &status},
                                    platform);
  EXPECT_THAT(body, IsEmpty());
  EXPECT_THAT(*platform.log, ElementsAre("CoInitialize", "Create", "CoUninitialize"));
  EXPECT_EQ(cookies, "cookie: c=1");
  EXPECT_EQ(returnedCookies, "returned");
  EXPECT_EQ(headers, "headers");
  EXPECT_EQ(responseHeaders, "response");
  EXPECT_EQ(status, 42);
}

TEST(WebRequestTest, SuppliedObjectIsUsedAndStaysWithItsOwner) {
  FakeRequestPlatform platform;
  platform.response.status = 204;
  auto object = platform.MakeObject();
  int status = 0;
  WebRequest(kUrl, {.status = &status, .requestObject = object}, platform);
  EXPECT_EQ(status, 204);
  EXPECT_THAT(platform.CallsOf("Create"), IsEmpty());
  EXPECT_THAT(platform.CallsOf("Release"), IsEmpty());
  EXPECT_EQ(platform.log->back(), "CoUninitialize");
  EXPECT_EQ(object.use_count(), 1) << "the routine's own reference is dropped";

  // Still usable by its owner for a second request.
  platform.log->clear();
  WebRequest(kUrl, {.method = kHead, .requestObject = object}, platform);
  EXPECT_THAT(platform.CallsOf("Open"),
              ElementsAre("Open(\"HEAD\", \"http://www.example.test/\", false)"));
}

}  // namespace
