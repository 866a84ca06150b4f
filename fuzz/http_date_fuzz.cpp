// Fuzz target: the program's own HTTP date reader (the native parser) and the
// conversion to Beijing time. The input is the Date value. A reading that is
// accepted has its fields in range and survives the conversion unchanged but
// for the eight hours; a rejected one writes nothing. The conversion of any
// fields, and MakeDateTime of any numbers, give calendar fields in range.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/date_time.h"
#include "fuzz/fuzz_check.h"
#include "netfacts/http_date.h"
#include "netfacts/network_time.h"

namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}
int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

void CheckFieldsInRange(const DateTimeFields& f) {
  FUZZ_CHECK(f.year >= 100 && f.year <= 9999);
  FUZZ_CHECK(f.month >= 1 && f.month <= 12);
  FUZZ_CHECK(f.day >= 1 && f.day <= DaysInMonth(f.year, f.month));
  FUZZ_CHECK(f.hour >= 0 && f.hour <= 23);
  FUZZ_CHECK(f.minute >= 0 && f.minute <= 59);
  FUZZ_CHECK(f.second >= 0 && f.second <= 59);
}

void CheckDateTime(const DateTime& dateTime) {
  CheckFieldsInRange(ToFields(dateTime));
  CheckNoZeroByte(ToText(dateTime));
}

// Any numbers, as a parser may leave them: the fields come out in range, and
// numbers already in range come out as they went in.
void CheckMakeDateTime(FuzzedDataProvider& input) {
  const int year = input.ConsumeIntegral<int>();
  const int month = input.ConsumeIntegral<int>();
  const int day = input.ConsumeIntegral<int>();
  const int hour = input.ConsumeIntegral<int>();
  const int minute = input.ConsumeIntegral<int>();
  const int second = input.ConsumeIntegral<int>();
  const DateTimeFields made = ToFields(MakeDateTime(year, month, day, hour, minute, second));
  CheckFieldsInRange(made);
  if (year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
      day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
      second >= 0 && second <= 59) {
    FUZZ_CHECK((made == DateTimeFields{year, month, day, hour, minute, second}));
  }

  HttpDateFields raw;
  raw.year = input.ConsumeIntegral<std::uint16_t>();
  raw.month = input.ConsumeIntegral<std::uint16_t>();
  raw.day = input.ConsumeIntegral<std::uint16_t>();
  raw.hour = input.ConsumeIntegral<std::uint16_t>();
  raw.minute = input.ConsumeIntegral<std::uint16_t>();
  raw.second = input.ConsumeIntegral<std::uint16_t>();
  CheckDateTime(BeijingTimeFromUtcFields(raw));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text httpDate(std::string_view(reinterpret_cast<const char*>(data), size));

  const HttpDateFields untouched{0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF};
  HttpDateFields fields = untouched;
  const bool read = ReadHttpDate(httpDate, fields);
  if (read) {
    FUZZ_CHECK(fields.year >= 1 && fields.year <= 9999);
    FUZZ_CHECK(fields.month >= 1 && fields.month <= 12);
    FUZZ_CHECK(fields.dayOfWeek <= 6);
    FUZZ_CHECK(fields.day >= 1 && fields.day <= DaysInMonth(fields.year, fields.month));
    FUZZ_CHECK(fields.hour <= 23 && fields.minute <= 59 && fields.second <= 60);
    FUZZ_CHECK(fields.milliseconds == 0);
  } else {
    FUZZ_CHECK(fields == untouched);
  }

  const DateTime beijing = HttpDateToBeijingTime(httpDate);
  CheckDateTime(beijing);
  const std::optional<DateTime> had = TryHttpDateToBeijingTime(httpDate);
  // The native build's platform parser is the reader itself.
  FUZZ_CHECK(had.has_value() == read);
  if (had) {
    FUZZ_CHECK(*had == beijing);
    if (fields.year >= 100 && fields.second <= 59) {
      // Eight hours back gives the fields that were read.
      const DateTimeFields utc = ToFields(AddToDateTime(beijing, kHours, -8));
      FUZZ_CHECK((utc == DateTimeFields{fields.year, fields.month, fields.day, fields.hour,
                                        fields.minute, fields.second}));
    }
  }

  FuzzedDataProvider numbers(data, size);
  CheckMakeDateTime(numbers);
  return 0;
}
