// DateTime: the proleptic Gregorian calendar over whole seconds counted from
// 30 December 1899, the clamping into 1 January 100 .. 31 December 9999, the
// OLE Automation date conversions, AddToDateTime and the text form.
#include "core/date_time.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Days from the origin of the first and the last day of the span.
constexpr std::int64_t kFirstDay = -657434;  // 1 January 100
constexpr std::int64_t kLastDay = 2958465;   // 31 December 9999
constexpr std::int64_t kFirstSecond = kFirstDay * kSecondsPerDay;
constexpr std::int64_t kLastSecond = kLastDay * kSecondsPerDay + kSecondsPerDay - 1;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  const std::int64_t quotient = value / divisor;
  return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

// Howard Hinnant's days-from-civil algorithms (400-year eras starting in
// March), moved so that 30 December 1899 is day 0.
constexpr std::int64_t kOriginFromUnixEpoch = -25569;  // 30 December 1899 - 1 January 1970

std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 - kOriginFromUnixEpoch;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719468 + kOriginFromUnixEpoch;
  const std::int64_t era = FloorDiv(days, 146097);
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return (month == 2 && leap) ? 29 : kDays[month - 1];
}

}  // namespace

DateTime DateTime::FromOleDate(double oleDate) {
  // Ten million days either way lie far outside the span, which is clamped when
  // the value is read; the bound keeps the arithmetic in range.
  if (std::isnan(oleDate)) return DateTime();
  oleDate = std::clamp(oleDate, -1e7, 1e7);
  // The OLE date of a day before the origin keeps the time of day as a
  // positive fraction: -1.25 is 29 December 1899, 06:00.
  const double whole = std::trunc(oleDate);
  const double fraction = std::fabs(oleDate - whole);
  return DateTime(static_cast<std::int64_t>(whole) * kSecondsPerDay +
                  std::llround(fraction * kSecondsPerDay));
}

double DateTime::ToOleDate() const {
  const std::int64_t days = FloorDiv(seconds_, kSecondsPerDay);
  const double fraction =
      static_cast<double>(seconds_ - days * kSecondsPerDay) / static_cast<double>(kSecondsPerDay);
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

DateTimeFields ToFields(const DateTime& dateTime) {
  const std::int64_t seconds = std::clamp(dateTime.SecondsSinceOrigin(), kFirstSecond, kLastSecond);
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t timeOfDay = seconds - days * kSecondsPerDay;
  DateTimeFields fields;
  CivilFromDays(days, fields.year, fields.month, fields.day);
  fields.hour = static_cast<int>(timeOfDay / 3600);
  fields.minute = static_cast<int>(timeOfDay / 60 % 60);
  fields.second = static_cast<int>(timeOfDay % 60);
  return fields;
}

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
  year = std::clamp(year, 100, 9999);
  month = std::clamp(month, 1, 12);
  day = std::clamp(day, 1, 31);
  day = std::min(day, DaysInMonth(year, month));
  hour = std::clamp(hour, 0, 23);
  minute = std::clamp(minute, 0, 59);
  second = std::clamp(second, 0, 59);
  return DateTime::FromSecondsSinceOrigin(DaysFromCivil(year, month, day) * kSecondsPerDay +
                                          hour * 3600 + minute * 60 + second);
}

DateTime AddToDateTime(const DateTime& dateTime, int unit, int amount) {
  if (amount == 0) return dateTime;
  unit = std::clamp(unit, static_cast<int>(kYears), static_cast<int>(kSeconds));
  if (unit <= kMonths) {
    // Calendar arithmetic: change the month count, carrying whole years, and
    // put the fields together through MakeDateTime's clamping (31 January
    // plus one month is the last day of February).
    const DateTimeFields fields = ToFields(dateTime);
    const std::int64_t monthsPerUnit = unit == kYears ? 12 : unit == kQuarters ? 3 : 1;
    const std::int64_t months =
        std::int64_t{fields.year} * 12 + (fields.month - 1) + amount * monthsPerUnit;
    // Any year beyond the span ends up at its nearer end in MakeDateTime.
    const int year = static_cast<int>(std::clamp<std::int64_t>(FloorDiv(months, 12), 0, 10000));
    const int month = static_cast<int>(months - FloorDiv(months, 12) * 12) + 1;
    return MakeDateTime(year, month, fields.day, fields.hour, fields.minute, fields.second);
  }
  static constexpr std::int64_t kSpan[] = {7 * kSecondsPerDay, kSecondsPerDay, 3600, 60, 1};
  return DateTime::FromSecondsSinceOrigin(dateTime.SecondsSinceOrigin() +
                                          amount * kSpan[unit - kWeeks]);
}

Text ToText(const DateTime& dateTime) {
  const DateTimeFields f = ToFields(dateTime);
  std::string text =
      std::to_string(f.year) + "年" + std::to_string(f.month) + "月" + std::to_string(f.day) + "日";
  if (f.second != 0) {
    text += std::to_string(f.hour) + "时" + std::to_string(f.minute) + "分" +
            std::to_string(f.second) + "秒";
  } else if (f.minute != 0) {
    text += std::to_string(f.hour) + "时" + std::to_string(f.minute) + "分";
  } else if (f.hour != 0) {
    text += std::to_string(f.hour) + "时";
  }
  return Text(std::move(text));
}
