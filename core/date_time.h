// DateTime: a calendar date and time in whole seconds, without a time zone.
//
// The span runs from 1 January 100 to 31 December 9999. A value is kept as
// whole seconds since 30 December 1899 00:00:00 (the origin of the OLE
// Automation date); wherever it is turned into calendar fields, a value
// outside the span is first clamped to its nearer end (1 January 100 00:00:00
// or 31 December 9999 23:59:59).
#pragma once

#include <cstdint>

#include "core/text.h"

class DateTime {
 public:
  // 30 December 1899, 00:00:00.
  DateTime() = default;
  static DateTime FromSecondsSinceOrigin(std::int64_t seconds) { return DateTime(seconds); }
  // The OLE Automation date (days since the origin, the fraction the time of
  // day), rounded to the nearest whole second.
  static DateTime FromOleDate(double oleDate);

  std::int64_t SecondsSinceOrigin() const { return seconds_; }
  double ToOleDate() const;

  friend bool operator==(const DateTime&, const DateTime&) = default;
  // NOLINTNEXTLINE(modernize-use-nullptr): clang-tidy 14 reads the 0 of the defaulted <=>
  friend auto operator<=>(const DateTime&, const DateTime&) = default;

 private:
  explicit DateTime(std::int64_t seconds) : seconds_(seconds) {}
  std::int64_t seconds_ = 0;
};

// The calendar fields of a DateTime (after clamping into the span).
struct DateTimeFields {
  int year = 100;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const DateTimeFields&, const DateTimeFields&) = default;
};

DateTimeFields ToFields(const DateTime& dateTime);

// Every field is clamped into its range, and the day then to the month's length.
DateTime MakeDateTime(int year = 1, int month = 1, int day = 1, int hour = 0, int minute = 0,
                      int second = 0);

// The units of AddToDateTime; a code below 1 counts as years, above 8 as seconds.
enum DateTimeUnit : int {
  kYears = 1,
  kQuarters = 2,
  kMonths = 3,
  kWeeks = 4,
  kDays = 5,
  kHours = 6,
  kMinutes = 7,
  kSeconds = 8,
};

// Amount 0 changes nothing. Years, quarters and months change the calendar
// fields and put them together through MakeDateTime (31 January plus one
// month is the last day of February; the year stays within 100 to 9999).
// Weeks to seconds add the exact span; the value itself is not clamped, only
// its calendar fields are, so adding and subtracting a span cancel out.
DateTime AddToDateTime(const DateTime& dateTime, int unit, int amount);

// 2019年10月4日14时31分42秒; trailing zero fields of the time are dropped.
Text ToText(const DateTime& dateTime);
