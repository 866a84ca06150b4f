// The Windows HTTP date parser: InternetTimeToSystemTime of "wininet.dll",
// looked up by name at its first call.
// Implementation here must contain only Win32 specific code.
#include "core/system_function.h"
#include "core/win32.h"
#include "netfacts/http_date.h"

namespace {

using InternetTimeToSystemTimeFunction = BOOL(WINAPI*)(LPCWSTR time, SYSTEMTIME* systemTime,
                                                       DWORD reserved);

}  // namespace

bool ParseHttpDate(const Text& httpDate, HttpDateFields& utcFields) {
  // The wide entry point, as for every Text that meets the Windows API; an
  // HTTP date is ASCII, so the conversion changes nothing but the width.
  static const auto internetTimeToSystemTime =
      SystemFunction<InternetTimeToSystemTimeFunction>("wininet.dll", "InternetTimeToSystemTimeW");
  SYSTEMTIME systemTime = {utcFields.year,   utcFields.month,       utcFields.dayOfWeek,
                           utcFields.day,    utcFields.hour,        utcFields.minute,
                           utcFields.second, utcFields.milliseconds};
  const std::wstring wide = WideFromText(httpDate);
  const BOOL parsed = internetTimeToSystemTime(wide.c_str(), &systemTime, 0 /* reserved */);
  utcFields = {systemTime.wYear,   systemTime.wMonth,       systemTime.wDayOfWeek,
               systemTime.wDay,    systemTime.wHour,        systemTime.wMinute,
               systemTime.wSecond, systemTime.wMilliseconds};
  return parsed != FALSE;
}
