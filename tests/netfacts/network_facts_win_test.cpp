// The network facts on the real Windows layer (run under Wine): the platform's
// HTTP date parser against the program's own reader, and the handlers with
// real requests through WebRequest to a server on 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "core/system.h"
#include "core/win32.h"
#include "netfacts/handlers.h"
#include "netfacts/http_date.h"
#include "netfacts/network_time.h"
#include "tests/netfacts/loopback_server_win.h"
#include "tests/support/fake_view.h"

namespace {

bool SameDateAndTime(const HttpDateFields& a, const HttpDateFields& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

std::string Describe(const HttpDateFields& f) {
  char text[64];
  std::snprintf(text, sizeof(text), "%d-%d-%d %d:%d:%d", f.year, f.month, f.day, f.hour, f.minute,
                f.second);
  return text;
}

// Date values as servers send them (RFC 1123, the form every sender must use),
// with the blank that the cut after "Date:" keeps.
TEST(HttpDateParsers, PlatformAndOwnReaderAgreeOnRealDateValues) {
  struct {
    const char* httpDate;
    const char* beijingTime;
  } cases[] = {
      {" Fri, 04 Oct 2019 20:15:00 GMT", "2019年10月5日4时15分"},
      {" Sun, 06 Nov 1994 08:49:37 GMT", "1994年11月6日16时49分37秒"},
      {" Thu, 29 Feb 2024 23:59:59 GMT", "2024年3月1日7时59分59秒"},
      {" Wed, 28 Feb 2024 16:30:05 GMT", "2024年2月29日0时30分5秒"},
      {" Thu, 28 Feb 2019 16:30:05 GMT", "2019年3月1日0时30分5秒"},
      {" Tue, 31 Dec 2019 20:00:00 GMT", "2020年1月1日4时"},
      {" Mon, 01 Jan 2001 00:00:00 GMT", "2001年1月1日8时"},
      {" Fri, 04 Oct 2019 16:00:00 GMT", "2019年10月5日"},
      {" Fri, 04 Oct 2019 06:31:00 GMT", "2019年10月4日14时31分"},
      {" Sat, 11 Dec 2026 13:05:04 GMT", "2026年12月11日21时5分4秒"},
      {"Fri, 04 Oct 2019 20:15:00 GMT", "2019年10月5日4时15分"},
      {"   Fri, 04 Oct 2019 20:15:00 GMT  ", "2019年10月5日4时15分"},
      {" fri, 04 oct 2019 20:15:00 gmt", "2019年10月5日4时15分"},
      {" Fri, 4 Oct 2019 8:5:3 GMT", "2019年10月4日16时5分3秒"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.httpDate);
    HttpDateFields platform;
    HttpDateFields own;
    EXPECT_TRUE(ParseHttpDate(c.httpDate, platform));
    ASSERT_TRUE(ReadHttpDate(c.httpDate, own));
    EXPECT_TRUE(SameDateAndTime(platform, own))
        << "platform " << Describe(platform) << ", own " << Describe(own);
    EXPECT_EQ(ToText(HttpDateToBeijingTime(c.httpDate)), Text(c.beijingTime));
    const std::optional<DateTime> had = TryHttpDateToBeijingTime(c.httpDate);
    ASSERT_TRUE(had.has_value());
    EXPECT_EQ(ToText(*had), Text(c.beijingTime));
  }
}

// The obsolete forms and texts that are no date: the platform parser may read
// them its own way, or answer with the current time; a network time is had
// only when both readers agree, so it is the right time or none.
TEST(HttpDateParsers, NeverGiveAWrongTimeWhereThePlatformReadsOtherwise) {
  struct {
    const char* httpDate;
    const char* beijingTime;  // nullptr: no time may be had
  } cases[] = {
      {"Sunday, 06-Nov-94 08:49:37 GMT", "1994年11月6日16时49分37秒"},
      {"Sun Nov  6 08:49:37 1994", "1994年11月6日16时49分37秒"},
      {"", nullptr},
      {" ", nullptr},
      {" garbage", nullptr},
      {" Fri, 04 Oct 2019", nullptr},
      {" Fri, 04 Oct 2019 20:15 GMT", nullptr},
      {" Fri, 04 Xyz 2019 20:15:00 GMT", nullptr},
      {" Fri, 32 Oct 2019 25:61:61 GMT", nullptr},
      {" Fri, 04 Oct 2019 20:15:00 +0800", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.httpDate);
    HttpDateFields platform;
    const bool platformParsed = ParseHttpDate(c.httpDate, platform);
    const std::optional<DateTime> had = TryHttpDateToBeijingTime(c.httpDate);
    std::printf("[%s] platform: %s %s; had: %s\n", c.httpDate, platformParsed ? "TRUE" : "FALSE",
                Describe(platform).c_str(), had ? ToText(*had).c_str() : "none");
    if (had) {
      ASSERT_NE(c.beijingTime, nullptr);
      EXPECT_EQ(ToText(*had), Text(c.beijingTime));
    }
    if (c.beijingTime == nullptr) {
      EXPECT_FALSE(had.has_value());
    }
  }
}

class NetworkFactsOverLoopback : public ::testing::Test {
 protected:
  FakeView view;
};

TEST_F(NetworkFactsOverLoopback, NetworkTimeTickShowsTheServersDateAsBeijingTime) {
  struct {
    const char* case_;
    std::string headerLines;
    const char* readout;
  } cases[] = {
      {"a Date", "Date: Fri, 04 Oct 2019 20:15:00 GMT\r\nServer: test\r\n", "2019年10月5日4时15分"},
      {"a Date at 16:00", "Server: test\r\nDate: Fri, 04 Oct 2019 16:00:00 GMT\r\n",
       "2019年10月5日"},
      {"no Date", "Server: test\r\n", ""},
      {"a lower-case date", "date: Fri, 04 Oct 2019 20:15:00 GMT\r\n", ""},
      {"an unreadable Date", "Date: not today\r\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_);
    LoopbackHttpServer server(HttpReply(c.headerLines));
    SystemNetworkFacts facts(server.Url("/"));
    view.calls.clear();
    OnNetworkTimeTick(view, facts);
    EXPECT_EQ(view.calls.back(), "SetText 编辑框1 " + std::string(Text(c.readout).bytes()));
    EXPECT_EQ(server.RequestLines(), std::vector<std::string>{"HEAD / HTTP/1.1"});
  }
}

TEST_F(NetworkFactsOverLoopback, NetworkTimeTickWithoutAServerShowsTheEmptyText) {
  SystemNetworkFacts facts("http://127.0.0.1:" + std::to_string(RefusingPort()) + "/");
  OnNetworkTimeTick(view, facts);
  EXPECT_EQ(view.calls.back(), "SetText 编辑框1 ");
}

TEST_F(NetworkFactsOverLoopback, PublicAddressTickShowsTheAddressOfTheReply) {
  struct {
    const char* case_;
    std::string body;
    const char* readout;
    const char* placeName;
  } cases[] = {
      {"the service's reply",
       R"(var returnCitySN = {"cip": "203.0.113.7", "cid": "110000", "cname": "北京市"};)",
       "203.0.113.7", "北京市"},
      {"markers broken", R"(var returnCitySN = {"cip":"203.0.113.7", "cid":"110000"};)", "", ""},
      {"an empty body", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_);
    LoopbackHttpServer server(HttpReply("Content-Type: text/html\r\n", c.body));
    view.calls.clear();
    SystemNetworkFacts facts(kTimeSourceAddress, server.Url("/cityjson"));
    OnPublicAddressTick(view, facts);
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"SetText 编辑框6 " + std::string(Text(c.readout).bytes()),
                                        "DestroyTimer 时钟6"}));
    EXPECT_EQ(server.RequestLines(), std::vector<std::string>{"GET /cityjson HTTP/1.1"});

    // The place name arrives byte for byte (GBK here), without conversion.
    Text placeName = "left over";
    QueryPublicAddress(server.Url("/cityjson"), placeName);
    EXPECT_EQ(placeName, Text(c.placeName));
  }
}

// Wine's SetLocalTime succeeds only within about half a second of the current
// time (NtSetSystemTime) and never moves the host clock; on real Windows with the right to
// change the time these cases would set the clock, so they run only in Wine.
bool RunningUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string HttpDateOf(std::time_t utc) {
  char text[64];
  std::tm fields;
  gmtime_s(&fields, &utc);
  std::strftime(text, sizeof(text), "%a, %d %b %Y %H:%M:%S GMT", &fields);
  return text;
}

TEST_F(NetworkFactsOverLoopback, ClickSetsTheClockFromTheServersDateOrReportsTheRefusal) {
  if (!RunningUnderWine()) GTEST_SKIP() << "would set the clock of a real Windows machine";
  // Beijing time is the local time only in a UTC+8 zone (TZ=Asia/Shanghai).
  TIME_ZONE_INFORMATION zone;
  ::GetTimeZoneInformation(&zone);
  if (zone.Bias != -480) GTEST_SKIP() << "the local time zone is not UTC+8";
  // The server sends the current second. A first request loads WinHTTP (a
  // cold one takes a few hundred ms); then the click starts early in a second,
  // so the clock is asked to move back by well under half a second.
  LoopbackHttpServer now(
      [] { return HttpReply("Date: " + HttpDateOf(std::time(nullptr)) + "\r\n"); });
  SystemNetworkFacts facts(now.Url("/"));
  ASSERT_TRUE(facts.FetchNetworkTime().has_value());
  using namespace std::chrono;
  const auto intoSecond = [] {
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() % 1000;
  };
  while (intoSecond() < 20 || intoSecond() > 100) std::this_thread::sleep_for(milliseconds(2));
  OnSyncClockClick(view, facts);
  ASSERT_GE(view.calls.size(), 2u);
  EXPECT_EQ(view.calls[0], "ShowMessage 成功 同步成功，显示一两秒误差属于正常");
  EXPECT_EQ(view.calls.back(), "DisableControl 按钮1");

  view.calls.clear();
  LoopbackHttpServer farOff(HttpReply("Date: Fri, 04 Oct 2019 20:15:00 GMT\r\n"));
  SystemNetworkFacts farOffFacts(farOff.Url("/"));
  OnSyncClockClick(view, farOffFacts);
  EXPECT_EQ(view.calls, std::vector<std::string>{
                            "ShowMessage 失败 同步失败：无法修改系统时间，请用管理员身份运行"});
}

// How long one tick of 时钟1 holds the GUI thread against a server on the same
// machine: figures for the record, not a limit. The first tick of a process
// loads WinHTTP and is shown apart.
TEST_F(NetworkFactsOverLoopback, PrintsHowLongANetworkTimeTickHoldsTheThread) {
  LoopbackHttpServer server(HttpReply("Date: Fri, 04 Oct 2019 20:15:00 GMT\r\n"));
  SystemNetworkFacts facts(server.Url("/"));
  const auto timeOneTick = [&] {
    const auto start = std::chrono::steady_clock::now();
    OnNetworkTimeTick(view, facts);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  const double first = timeOneTick();
  std::vector<double> milliseconds;
  for (int tick = 0; tick < 50; ++tick) milliseconds.push_back(timeOneTick());
  EXPECT_EQ(view.calls.back(), "SetText 编辑框1 2019年10月5日4时15分");
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf(
      "network-time tick against 127.0.0.1: first %.1f ms; next 50: median %.1f ms, "
      "min %.1f ms, max %.1f ms\n",
      first, (milliseconds[24] + milliseconds[25]) / 2, milliseconds.front(), milliseconds.back());
}

}  // namespace
