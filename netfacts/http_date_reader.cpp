// The program's own reader of HTTP dates (RFC 1123, RFC 850 and asctime).
// Portable: the native build parses with it, and the Windows build keeps it
// to check the platform's parser against it.
#include <array>
#include <optional>
#include <string_view>

#include "netfacts/http_date.h"

namespace {

constexpr std::array<std::string_view, 7> kShortDays = {"Sun", "Mon", "Tue", "Wed",
                                                        "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kLongDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

template <std::size_t N>
std::optional<int> IndexOf(const std::array<std::string_view, N>& names, std::string_view word) {
  for (std::size_t i = 0; i < N; ++i) {
    if (SameIgnoringCase(names[i], word)) return static_cast<int>(i);
  }
  return std::nullopt;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

// Reads a text from left to right; every step either consumes what it wants
// and answers true (or a value), or fails and leaves the reading unusable.
class Reader {
 public:
  explicit Reader(std::string_view text) : rest_(text) {}

  bool AtEnd() const { return rest_.empty(); }
  bool Next(char c) const { return !rest_.empty() && rest_.front() == c; }

  // Any number of blanks (space or tab); true when at least `least` were met.
  bool Blanks(std::size_t least = 1) {
    std::size_t count = 0;
    while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t')) {
      rest_.remove_prefix(1);
      ++count;
    }
    return count >= least;
  }

  bool Char(char c) {
    if (!Next(c)) return false;
    rest_.remove_prefix(1);
    return true;
  }

  std::string_view Word() {
    std::size_t length = 0;
    while (length < rest_.size() && IsLetter(rest_[length])) ++length;
    const std::string_view word = rest_.substr(0, length);
    rest_.remove_prefix(length);
    return word;
  }

  // A number of `fewest` to `most` digits.
  std::optional<int> Number(std::size_t fewest, std::size_t most) {
    std::size_t length = 0;
    int value = 0;
    while (length < rest_.size() && IsDigit(rest_[length])) {
      value = value * 10 + (rest_[length] - '0');
      ++length;
      if (length > most) return std::nullopt;
    }
    if (length < fewest) return std::nullopt;
    rest_.remove_prefix(length);
    return value;
  }

 private:
  std::string_view rest_;
};

struct Reading {
  int year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0;
};

bool ReadMonth(Reader& reader, Reading& reading) {
  const std::optional<int> month = IndexOf(kMonths, reader.Word());
  if (!month) return false;
  reading.month = *month + 1;
  return true;
}

// hh:mm:ss, each part of one or two digits.
bool ReadTime(Reader& reader, Reading& reading) {
  const std::optional<int> hour = reader.Number(1, 2);
  if (!hour || !reader.Char(':')) return false;
  const std::optional<int> minute = reader.Number(1, 2);
  if (!minute || !reader.Char(':')) return false;
  const std::optional<int> second = reader.Number(1, 2);
  if (!second) return false;
  reading.hour = *hour;
  reading.minute = *minute;
  reading.second = *second;
  return true;
}

bool ReadZone(Reader& reader) {
  return SameIgnoringCase(reader.Word(), "GMT");
}

// After "<day name>,": "06 Nov 1994 08:49:37 GMT" or "06-Nov-94 08:49:37 GMT".
bool ReadAfterComma(Reader& reader, Reading& reading) {
  reader.Blanks(0);
  const std::optional<int> day = reader.Number(1, 2);
  if (!day) return false;
  reading.day = *day;
  if (reader.Char('-')) {
    // RFC 850: a two-digit year; a four-digit one is taken as it stands.
    if (!ReadMonth(reader, reading) || !reader.Char('-')) return false;
    if (const std::optional<int> fullYear = reader.Number(4, 4)) {
      reading.year = *fullYear;
    } else {
      const std::optional<int> year = reader.Number(2, 2);
      if (!year) return false;
      reading.year = *year < 70 ? 2000 + *year : 1900 + *year;
    }
  } else {
    if (!reader.Blanks() || !ReadMonth(reader, reading) || !reader.Blanks()) return false;
    const std::optional<int> year = reader.Number(4, 4);
    if (!year) return false;
    reading.year = *year;
  }
  return reader.Blanks() && ReadTime(reader, reading) && reader.Blanks() && ReadZone(reader);
}

// asctime, after the day name: " Nov  6 08:49:37 1994".
bool ReadAsctimeRest(Reader& reader, Reading& reading) {
  if (!reader.Blanks() || !ReadMonth(reader, reading) || !reader.Blanks()) return false;
  const std::optional<int> day = reader.Number(1, 2);
  if (!day) return false;
  reading.day = *day;
  if (!reader.Blanks() || !ReadTime(reader, reading) || !reader.Blanks()) return false;
  const std::optional<int> year = reader.Number(4, 4);
  if (!year) return false;
  reading.year = *year;
  return true;
}

bool IsValid(const Reading& r) {
  return r.year >= 1 && r.day >= 1 && r.day <= DaysInMonth(r.year, r.month) && r.hour <= 23 &&
         r.minute <= 59 && r.second <= 60;
}

}  // namespace

bool ReadHttpDate(const Text& httpDate, HttpDateFields& utcFields) {
  Reader reader(httpDate.bytes());
  Reading reading;
  reader.Blanks(0);
  const std::string_view dayName = reader.Word();
  std::optional<int> dayOfWeek = IndexOf(kShortDays, dayName);
  if (!dayOfWeek) dayOfWeek = IndexOf(kLongDays, dayName);
  if (!dayOfWeek) return false;
  reading.dayOfWeek = *dayOfWeek;

  const bool read =
      reader.Char(',') ? ReadAfterComma(reader, reading) : ReadAsctimeRest(reader, reading);
  reader.Blanks(0);
  if (!read || !reader.AtEnd() || !IsValid(reading)) return false;

  utcFields.year = static_cast<std::uint16_t>(reading.year);
  utcFields.month = static_cast<std::uint16_t>(reading.month);
  utcFields.dayOfWeek = static_cast<std::uint16_t>(reading.dayOfWeek);
  utcFields.day = static_cast<std::uint16_t>(reading.day);
  utcFields.hour = static_cast<std::uint16_t>(reading.hour);
  utcFields.minute = static_cast<std::uint16_t>(reading.minute);
  utcFields.second = static_cast<std::uint16_t>(reading.second);
  utcFields.milliseconds = 0;
  return true;
}
