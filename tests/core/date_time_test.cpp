// DateTime: the span and its clamping, the rounding of OLE dates to whole
// seconds, MakeDateTime's clamping, AddToDateTime and the text form.
#include "core/date_time.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "tests/core/printers.h"

namespace {

using testing::PrintToString;

constexpr std::int64_t kDay = 86400;

DateTimeFields Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return {year, month, day, hour, minute, second};
}

TEST(DateTimeSpan, CountsSecondsFromThirtiethDecember1899) {
  EXPECT_EQ(ToFields(DateTime()), Fields(1899, 12, 30));
  EXPECT_EQ(MakeDateTime(1899, 12, 31).SecondsSinceOrigin(), kDay);
  EXPECT_EQ(MakeDateTime(1900, 1, 1, 6).SecondsSinceOrigin(), 2 * kDay + 6 * 3600);
  EXPECT_EQ(MakeDateTime(100, 1, 1).SecondsSinceOrigin(), -657434 * kDay);
  EXPECT_EQ(MakeDateTime(9999, 12, 31).SecondsSinceOrigin(), 2958465 * kDay);
  EXPECT_EQ(MakeDateTime(2019, 10, 4).SecondsSinceOrigin(), 43742 * kDay);
}

TEST(DateTimeSpan, ClampsToTheNearerEndWhenTakenApart) {
  struct {
    std::int64_t seconds;
    DateTimeFields expected;
  } cases[] = {
      {-657434 * kDay, Fields(100, 1, 1)},
      {-657434 * kDay - 1, Fields(100, 1, 1)},
      {-100000000 * kDay, Fields(100, 1, 1)},
      {std::numeric_limits<std::int64_t>::min(), Fields(100, 1, 1)},
      {2958466 * kDay - 1, Fields(9999, 12, 31, 23, 59, 59)},
      {2958466 * kDay, Fields(9999, 12, 31, 23, 59, 59)},
      {std::numeric_limits<std::int64_t>::max(), Fields(9999, 12, 31, 23, 59, 59)},
      {-1, Fields(1899, 12, 29, 23, 59, 59)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(ToFields(DateTime::FromSecondsSinceOrigin(c.seconds)), c.expected);
  }
}

TEST(DateTimeFromOleDate, RoundsToTheNearestWholeSecond) {
  const double second = 1.0 / 86400;
  struct {
    double oleDate;
    DateTimeFields expected;
  } cases[] = {
      {0.0, Fields(1899, 12, 30)},
      {0.5, Fields(1899, 12, 30, 12)},
      {43742.0 + (14 * 3600 + 31 * 60 + 42) * second, Fields(2019, 10, 4, 14, 31, 42)},
      {1.0 + 0.4 * second, Fields(1899, 12, 31)},
      {1.0 + 0.6 * second, Fields(1899, 12, 31, 0, 0, 1)},
      {2.0 - 0.4 * second, Fields(1900, 1, 1)},  // 23:59:59.6 is the next midnight
      // Before the origin the time of day stays a positive fraction.
      {-1.25, Fields(1899, 12, 29, 6)},
      {-1.0, Fields(1899, 12, 29)},
      {-0.5, Fields(1899, 12, 30, 12)},
      {-657434.0, Fields(100, 1, 1)},
      {-657434.5, Fields(100, 1, 1, 12)},
      {-700000.0, Fields(100, 1, 1)},
      {2958465.99999, Fields(9999, 12, 31, 23, 59, 59)},
      {1e300, Fields(9999, 12, 31, 23, 59, 59)},
      {-1e300, Fields(100, 1, 1)},
      {std::numeric_limits<double>::infinity(), Fields(9999, 12, 31, 23, 59, 59)},
      {-std::numeric_limits<double>::infinity(), Fields(100, 1, 1)},
      {std::nan(""), Fields(1899, 12, 30)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.oleDate);
    EXPECT_EQ(ToFields(DateTime::FromOleDate(c.oleDate)), c.expected);
  }
}

TEST(DateTimeToOleDate, IsTheInverseOfFromOleDate) {
  EXPECT_EQ(MakeDateTime(1899, 12, 29, 6).ToOleDate(), -1.25);
  EXPECT_EQ(MakeDateTime(1900, 1, 1, 12).ToOleDate(), 2.5);
  EXPECT_EQ(MakeDateTime(100, 1, 1).ToOleDate(), -657434.0);
  for (const DateTime& value :
       {MakeDateTime(100, 1, 1, 0, 0, 1), MakeDateTime(1899, 12, 29, 23, 59, 59),
        MakeDateTime(2019, 10, 4, 14, 31, 42), MakeDateTime(9999, 12, 31, 23, 59, 59)}) {
    SCOPED_TRACE(PrintToString(value));
    EXPECT_EQ(DateTime::FromOleDate(value.ToOleDate()), value);
  }
}

TEST(MakeDateTime, ClampsEveryFieldAndTheDayToTheMonth) {
  struct {
    int year, month, day, hour, minute, second;
    DateTimeFields expected;
  } cases[] = {
      {2019, 2, 30, 25, 61, -1, Fields(2019, 2, 28, 23, 59, 0)},
      {0, 0, 0, 0, 0, 0, Fields(100, 1, 1)},
      {99, -5, -5, -1, -1, -1, Fields(100, 1, 1)},
      {10000, 13, 32, 24, 60, 60, Fields(9999, 12, 31, 23, 59, 59)},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, Fields(9999, 12, 31, 23, 59, 59)},
      {INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, Fields(100, 1, 1)},
      {2000, 2, 29, 0, 0, 0, Fields(2000, 2, 29)},  // divisible by 400
      {1900, 2, 29, 0, 0, 0, Fields(1900, 2, 28)},  // divisible by 100 only
      {2024, 2, 30, 0, 0, 0, Fields(2024, 2, 29)},
      {2019, 4, 31, 0, 0, 0, Fields(2019, 4, 30)},
      {2019, 12, 31, 23, 59, 59, Fields(2019, 12, 31, 23, 59, 59)},
      {100, 2, 29, 0, 0, 0, Fields(100, 2, 28)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(Fields(c.year, c.month, c.day, c.hour, c.minute, c.second)));
    EXPECT_EQ(ToFields(MakeDateTime(c.year, c.month, c.day, c.hour, c.minute, c.second)),
              c.expected);
  }
  EXPECT_EQ(ToFields(MakeDateTime()), Fields(100, 1, 1));  // year 1 is raised to 100
}

TEST(DateTimeText, DropsTrailingZeroFieldsOfTheTime) {
  struct {
    DateTime value;
    Text expected;
  } cases[] = {
      {MakeDateTime(2019, 10, 4, 14, 31, 42), "2019年10月4日14时31分42秒"},
      {MakeDateTime(2019, 10, 4, 14, 31, 0), "2019年10月4日14时31分"},
      {MakeDateTime(2019, 10, 4, 14, 0, 0), "2019年10月4日14时"},
      {MakeDateTime(2019, 10, 4), "2019年10月4日"},
      {MakeDateTime(2019, 10, 4, 0, 5, 0), "2019年10月4日0时5分"},
      {MakeDateTime(2019, 10, 4, 0, 0, 5), "2019年10月4日0时0分5秒"},
      {MakeDateTime(2019, 2, 30, 25, 61, -1), "2019年2月28日23时59分"},
      {MakeDateTime(0, 0, 0, 0, 0, 0), "100年1月1日"},
      {DateTime::FromSecondsSinceOrigin(std::numeric_limits<std::int64_t>::max()),
       "9999年12月31日23时59分59秒"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.value));
    EXPECT_EQ(ToText(c.value), c.expected);
  }
}

TEST(AddToDateTime, AddsCalendarUnitsAndExactSpans) {
  struct {
    DateTime from;
    int unit;
    int amount;
    DateTimeFields expected;
  } cases[] = {
      {MakeDateTime(2019, 12, 31, 20), kHours, 8, Fields(2020, 1, 1, 4)},
      {MakeDateTime(0, 0, 0, 0, 0, 0), kHours, 8, Fields(100, 1, 1, 8)},
      {MakeDateTime(2020, 1, 1), kHours, -8, Fields(2019, 12, 31, 16)},
      // Unit codes below 1 are years, above 8 seconds.
      {MakeDateTime(2019, 10, 4), 0, 1, Fields(2020, 10, 4)},
      {MakeDateTime(2019, 10, 4), -3, 1, Fields(2020, 10, 4)},
      {MakeDateTime(2019, 10, 4), 9, 61, Fields(2019, 10, 4, 0, 1, 1)},
      {MakeDateTime(2019, 10, 4), INT_MAX, 1, Fields(2019, 10, 4, 0, 0, 1)},
      // Years, quarters and months through MakeDateTime's clamping.
      {MakeDateTime(2020, 2, 29), kYears, 1, Fields(2021, 2, 28)},
      {MakeDateTime(2020, 2, 29), kYears, 4, Fields(2024, 2, 29)},
      {MakeDateTime(2020, 1, 31), kMonths, 1, Fields(2020, 2, 29)},
      {MakeDateTime(2019, 1, 31, 10, 20, 30), kMonths, 1, Fields(2019, 2, 28, 10, 20, 30)},
      {MakeDateTime(2019, 1, 15), kMonths, -1, Fields(2018, 12, 15)},
      {MakeDateTime(2019, 1, 15), kMonths, -13, Fields(2017, 12, 15)},
      {MakeDateTime(2019, 1, 15), kMonths, 12, Fields(2020, 1, 15)},
      {MakeDateTime(2019, 1, 15), kMonths, 25, Fields(2021, 2, 15)},
      {MakeDateTime(2019, 11, 30), kQuarters, 1, Fields(2020, 2, 29)},
      {MakeDateTime(2019, 11, 30), kQuarters, -1, Fields(2019, 8, 30)},
      {MakeDateTime(2019, 11, 30), kQuarters, 4, Fields(2020, 11, 30)},
      // The year stays within 100 to 9999.
      {MakeDateTime(9999, 6, 1), kYears, 1, Fields(9999, 6, 1)},
      {MakeDateTime(100, 6, 1), kYears, -5, Fields(100, 6, 1)},
      {MakeDateTime(2019, 6, 1), kYears, INT_MAX, Fields(9999, 6, 1)},
      {MakeDateTime(2019, 6, 1), kQuarters, INT_MIN, Fields(100, 6, 1)},
      // Exact spans carry across days, months and years.
      {MakeDateTime(2019, 12, 28), kWeeks, 1, Fields(2020, 1, 4)},
      {MakeDateTime(2020, 3, 1), kDays, -1, Fields(2020, 2, 29)},
      {MakeDateTime(2019, 12, 31, 23, 30), kMinutes, 90, Fields(2020, 1, 1, 1)},
      {MakeDateTime(2020, 1, 1), kSeconds, -1, Fields(2019, 12, 31, 23, 59, 59)},
      {MakeDateTime(2019, 10, 4), kDays, INT_MAX, Fields(9999, 12, 31, 23, 59, 59)},
      {MakeDateTime(2019, 10, 4), kWeeks, INT_MIN, Fields(100, 1, 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.from) + " unit " + std::to_string(c.unit) + " amount " +
                 std::to_string(c.amount));
    EXPECT_EQ(ToFields(AddToDateTime(c.from, c.unit, c.amount)), c.expected);
  }
}

TEST(AddToDateTime, AmountZeroChangesNothing) {
  const DateTime beyondTheSpan = DateTime::FromSecondsSinceOrigin(2958466 * kDay + 5);
  for (int unit = 0; unit <= 9; ++unit) {
    SCOPED_TRACE(unit);
    EXPECT_EQ(AddToDateTime(MakeDateTime(2019, 1, 31, 1, 2, 3), unit, 0),
              MakeDateTime(2019, 1, 31, 1, 2, 3));
    EXPECT_EQ(AddToDateTime(beyondTheSpan, unit, 0), beyondTheSpan);
  }
}

TEST(AddToDateTime, ExactSpansAreUndoneBySubtracting) {
  // Near the end of the span the text form is clamped, the value is not.
  const DateTime lateEvening = MakeDateTime(9999, 12, 31, 23);
  const DateTime later = AddToDateTime(lateEvening, kHours, 2);
  EXPECT_EQ(ToText(later), Text("9999年12月31日23时59分59秒"));
  EXPECT_EQ(AddToDateTime(later, kHours, -2), lateEvening);
}

}  // namespace
