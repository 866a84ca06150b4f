// Reading an HTTP date (the value of a Date header) into UTC calendar fields.
//
// ParseHttpDate is the platform's parser: InternetTimeToSystemTime of
// "wininet.dll" on Windows (http_date_win.cpp), the program's own reader in
// the native build (http_date_posix.cpp). ReadHttpDate is the program's own
// reader; it is portable and built everywhere, so that the two can be checked
// against each other on Windows.
#pragma once

#include <cstdint>

#include "core/text.h"

// The platform's SYSTEMTIME: eight unsigned 16-bit fields in its order.
struct HttpDateFields {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
  friend bool operator==(const HttpDateFields&, const HttpDateFields&) = default;
};

// The platform's parse of an HTTP date into UTC fields. The result is the
// parser's own success flag. Which fields it writes for a text it cannot read
// is the platform's: Wine's InternetTimeToSystemTime first fills all of them
// with the current system time and answers TRUE for any text, even an empty
// one, so the flag alone does not tell a date from garbage.
bool ParseHttpDate(const Text& httpDate, HttpDateFields& utcFields);

// The program's own reader. After leading blanks (space, tab) it accepts the
// three forms of an HTTP date, and nothing after them but blanks:
//   RFC 1123  "Sun, 06 Nov 1994 08:49:37 GMT"
//   RFC 850   "Sunday, 06-Nov-94 08:49:37 GMT" (years 70-99 are 19xx, 00-69 20xx)
//   asctime   "Sun Nov  6 08:49:37 1994"
// Names of days, months and the zone "GMT" are matched ignoring ASCII case; a
// day or time field may have one or two digits. The day must exist in its
// month, the hour be 0-23, the minute 0-59 and the second 0-60 (a leap
// second). On success it writes year, month, day of week (0 = Sunday, as the
// text names it), day, hour, minute and second, with milliseconds 0, and
// returns true; otherwise it writes nothing and returns false.
bool ReadHttpDate(const Text& httpDate, HttpDateFields& utcFields);
