// The network time: the cut of the Date header, the conversion to Beijing
// time, and when a time counts as had. The native build parses with the
// program's own reader.
#include "netfacts/network_time.h"

#include <gtest/gtest.h>

#include "tests/netfacts/fake_http_client.h"

namespace {

TEST(DateHeaderValue, CutsTheFirstCaseSensitiveDateUpToTheLineEnd) {
  struct {
    const char* responseHeaders;
    const char* expected;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nDate: Fri, 04 Oct 2019 20:15:00 GMT\r\nServer: x\r\n",
       " Fri, 04 Oct 2019 20:15:00 GMT"},
      // Lower case is another header name.
      {"Server: x\r\ndate: Fri, 04 Oct 2019 20:15:00 GMT\r\n", ""},
      {"Server: x\r\nDATE: Fri, 04 Oct 2019 20:15:00 GMT\r\n", ""},
      // The first "Date:" counts, also where it ends a longer header name.
      {"X-Upload-Date: soon\r\nDate: Fri, 04 Oct 2019 20:15:00 GMT\r\n", " soon"},
      // Not trimmed.
      {"Date:   Fri, 04 Oct 2019 20:15:00 GMT  \r\n", "   Fri, 04 Oct 2019 20:15:00 GMT  "},
      {"Date:Fri, 04 Oct 2019 20:15:00 GMT\r\n", "Fri, 04 Oct 2019 20:15:00 GMT"},
      // Without a line end after it there is no value.
      {"Date: Fri, 04 Oct 2019 20:15:00 GMT", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.responseHeaders);
    EXPECT_EQ(DateHeaderValue(c.responseHeaders), Text(c.expected));
  }
}

TEST(HttpDateToBeijingTime, AddsEightHoursToTheUtcDate) {
  struct {
    const char* httpDate;
    const char* expected;
  } cases[] = {
      // The eight hours carry the date into the next day.
      {" Fri, 04 Oct 2019 20:15:00 GMT", "2019年10月5日4时15分"},
      {" Fri, 04 Oct 2019 06:31:42 GMT", "2019年10月4日14时31分42秒"},
      // 00 seconds: no seconds in the text; exactly 16:00:00 UTC: the date only.
      {" Fri, 04 Oct 2019 06:31:00 GMT", "2019年10月4日14时31分"},
      {" Fri, 04 Oct 2019 06:00:00 GMT", "2019年10月4日14时"},
      {" Fri, 04 Oct 2019 16:00:00 GMT", "2019年10月5日"},
      {" Fri, 04 Oct 2019 16:05:00 GMT", "2019年10月5日0时5分"},
      // 28 February after 16:00 UTC: 29 February in a leap year, else 1 March.
      {" Wed, 28 Feb 2024 16:30:05 GMT", "2024年2月29日0时30分5秒"},
      {" Thu, 28 Feb 2019 16:30:05 GMT", "2019年3月1日0时30分5秒"},
      {" Thu, 28 Feb 2019 15:59:59 GMT", "2019年2月28日23时59分59秒"},
      {" Tue, 31 Dec 2019 20:00:00 GMT", "2020年1月1日4时"},
      // A leap second is clamped to 59 by MakeDateTime.
      {" Sat, 31 Dec 2016 23:59:60 GMT", "2017年1月1日7时59分59秒"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.httpDate);
    EXPECT_EQ(ToText(HttpDateToBeijingTime(c.httpDate)), Text(c.expected));
    const std::optional<DateTime> had = TryHttpDateToBeijingTime(c.httpDate);
    ASSERT_TRUE(had.has_value());
    EXPECT_EQ(ToText(*had), Text(c.expected));
  }
}

TEST(BeijingTimeFromUtcFields, ClampsTheFieldsBeforeAddingEightHours) {
  struct {
    HttpDateFields utcFields;
    const char* expected;
  } cases[] = {
      // year, month, day of week, day, hour, minute, second, milliseconds
      {{0, 0, 0, 0, 0, 0, 0, 0}, "100年1月1日8时"},  // fields a parser left alone
      {{2019, 2, 9, 30, 25, 61, 0xFFFF, 999}, "2019年3月1日7时59分"},
      {{2019, 13, 0, 31, 16, 0, 0, 0}, "2020年1月1日"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(ToText(BeijingTimeFromUtcFields(c.utcFields)), Text(c.expected));
  }
}

TEST(TryHttpDateToBeijingTime, HasNoTimeForATextThatIsNoHttpDate) {
  for (const char* httpDate : {"", " ", "garbage", " Fri, 04 Oct 2019", " date unknown",
                               " Fri, 04 Oct 2019 20:15:00 +0800"}) {
    SCOPED_TRACE(httpDate);
    EXPECT_FALSE(TryHttpDateToBeijingTime(httpDate).has_value());
  }
}

TEST(FetchNetworkTime, AsksTheTimeSourceWithHeadWhenNoAddressIsGiven) {
  FakeHttpClient client;
  client.responseHeaders = "Date: Fri, 04 Oct 2019 20:15:00 GMT\r\n";
  const std::optional<DateTime> beijingTime = FetchNetworkTime(client);
  EXPECT_EQ(client.requests, std::vector<std::string>{"HEAD http://www.baidu.com/"});
  ASSERT_TRUE(beijingTime.has_value());
  EXPECT_EQ(ToText(*beijingTime), Text("2019年10月5日4时15分"));

  FetchNetworkTime(client, "http://127.0.0.1:8080/");
  EXPECT_EQ(client.requests.back(), "HEAD http://127.0.0.1:8080/");
}

TEST(FetchNetworkTime, HasNoTimeWithoutAReadableDateLine) {
  struct {
    const char* case_;
    const char* responseHeaders;
  } cases[] = {
      {"request failed", ""},
      {"no Date line", "HTTP/1.1 200 OK\r\nServer: x\r\nContent-Length: 0\r\n\r\n"},
      {"lower-case date", "HTTP/1.1 200 OK\r\ndate: Fri, 04 Oct 2019 20:15:00 GMT\r\n\r\n"},
      {"unreadable date", "HTTP/1.1 200 OK\r\nDate: yesterday\r\n\r\n"},
      {"empty date", "HTTP/1.1 200 OK\r\nDate:\r\n\r\n"},
      {"longer name first", "Last-Date: soon\r\nDate: Fri, 04 Oct 2019 20:15:00 GMT\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_);
    FakeHttpClient client;
    client.responseHeaders = c.responseHeaders;
    EXPECT_FALSE(FetchNetworkTime(client).has_value());
  }
}

}  // namespace
