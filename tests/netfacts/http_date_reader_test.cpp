// The program's own reader of HTTP dates: the three forms, and what it refuses.
#include <gtest/gtest.h>

#include "netfacts/http_date.h"

namespace {

TEST(ReadHttpDate, ReadsTheThreeFormsIntoUtcFields) {
  struct {
    const char* input;
    HttpDateFields expected;
  } cases[] = {
      // year, month, day of week, day, hour, minute, second, milliseconds
      {"Sun, 06 Nov 1994 08:49:37 GMT", {1994, 11, 0, 6, 8, 49, 37, 0}},
      {"Sunday, 06-Nov-94 08:49:37 GMT", {1994, 11, 0, 6, 8, 49, 37, 0}},
      {"Sun Nov  6 08:49:37 1994", {1994, 11, 0, 6, 8, 49, 37, 0}},
      // The value as cut out of a header block keeps the blank after "Date:".
      {" Fri, 04 Oct 2019 20:15:00 GMT", {2019, 10, 5, 4, 20, 15, 0, 0}},
      {"\t  Fri, 04 Oct 2019 20:15:00 GMT  ", {2019, 10, 5, 4, 20, 15, 0, 0}},
      {"Thu, 29 Feb 2024 23:59:59 GMT", {2024, 2, 4, 29, 23, 59, 59, 0}},
      {"fri, 04 oct 2019 20:15:00 gmt", {2019, 10, 5, 4, 20, 15, 0, 0}},
      {"Fri, 4 Oct 2019 8:5:3 GMT", {2019, 10, 5, 4, 8, 5, 3, 0}},
      {"Fri,04 Oct 2019 20:15:00 GMT", {2019, 10, 5, 4, 20, 15, 0, 0}},
      {"Sat, 31 Dec 2016 23:59:60 GMT", {2016, 12, 6, 31, 23, 59, 60, 0}},
      // RFC 850 years: 70-99 are 19xx, 00-69 20xx; four digits as they stand.
      {"Thursday, 01-Jan-70 00:00:00 GMT", {1970, 1, 4, 1, 0, 0, 0, 0}},
      {"Friday, 04-Oct-19 20:15:00 GMT", {2019, 10, 5, 4, 20, 15, 0, 0}},
      {"Friday, 04-Oct-2019 20:15:00 GMT", {2019, 10, 5, 4, 20, 15, 0, 0}},
      {"Fri Oct 04 20:15:00 2019", {2019, 10, 5, 4, 20, 15, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    HttpDateFields fields;
    EXPECT_TRUE(ReadHttpDate(c.input, fields));
    EXPECT_EQ(fields, c.expected);
  }
}

TEST(ReadHttpDate, RefusesWhatIsNoCompleteHttpDateAndWritesNothing) {
  const char* cases[] = {
      "",
      "   ",
      "garbage",
      "Fri, 04 Oct 2019",                    // no time
      "Fri, 04 Oct 2019 20:15:00",           // no zone
      "Fri, 04 Oct 2019 20:15:00 +0800",     // an HTTP date is always GMT
      "Fri, 04 Oct 2019 20:15 GMT",          // no seconds
      "Fri, 04 Xyz 2019 20:15:00 GMT",       // no month
      "Fry, 04 Oct 2019 20:15:00 GMT",       // no day name
      "04 Oct 2019 20:15:00 GMT",            // no day name at all
      "Fri, 04 Oct 19 20:15:00 GMT",         // RFC 1123 wants four digits
      "Friday, 04-Oct-019 20:15:00 GMT",     // three digits
      "Fri, 32 Oct 2019 20:15:00 GMT",       // day out of range
      "Fri, 29 Feb 2019 20:15:00 GMT",       // no 29 February in 2019
      "Mon, 29 Feb 2100 20:15:00 GMT",       // nor in 2100
      "Fri, 04 Oct 2019 24:00:00 GMT",       // hour
      "Fri, 04 Oct 2019 20:60:00 GMT",       // minute
      "Fri, 04 Oct 2019 20:15:61 GMT",       // second
      "Fri, 004 Oct 2019 20:15:00 GMT",      // three-digit day
      "Fri, 04 Oct 2019 20:15:00 GMT junk",  // something after the date
      "Fri, 04 Oct 2019 20:15:00 GMT\r\n",   // a line end is not a blank
      "Sun Nov  6 08:49:37 94",              // asctime wants four digits
  };
  for (const char* input : cases) {
    SCOPED_TRACE(input);
    const HttpDateFields sentinel = {7, 7, 7, 7, 7, 7, 7, 7};
    HttpDateFields fields = sentinel;
    EXPECT_FALSE(ReadHttpDate(input, fields));
    EXPECT_EQ(fields, sentinel);
  }
}

}  // namespace
