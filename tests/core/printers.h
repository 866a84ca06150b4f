// How the core tests print texts and arrays in failure messages: printable
// ASCII as it is, every other byte as \xNN (GBK is unreadable on a UTF-8
// terminal), so a misplaced byte of a double-byte character shows.
#pragma once

#include <cstdio>
#include <ostream>

#include "core/date_time.h"
#include "core/text.h"

inline void PrintTo(const Text& text, std::ostream* out) {
  *out << '"';
  for (const char c : text.bytes()) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
      *out << c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", byte);
      *out << escaped;
    }
  }
  *out << '"';
}

inline void PrintTo(const TextArray& array, std::ostream* out) {
  *out << '{';
  const char* separator = "";
  for (const Text& item : array) {
    *out << separator;
    PrintTo(item, out);
    separator = ", ";
  }
  *out << '}';
}

inline void PrintTo(const DateTimeFields& f, std::ostream* out) {
  *out << f.year << '-' << f.month << '-' << f.day << ' ' << f.hour << ':' << f.minute << ':'
       << f.second;
}

inline void PrintTo(const DateTime& dateTime, std::ostream* out) {
  PrintTo(ToFields(dateTime), out);
  *out << " (" << dateTime.SecondsSinceOrigin() << " s)";
}
