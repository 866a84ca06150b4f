// The network time: Beijing time taken from the Date header of an HTTP
// response (UTC plus a fixed eight hours), not from a time protocol.
#pragma once

#include <optional>

#include "core/date_time.h"
#include "core/text.h"
#include "netfacts/http_client.h"
#include "netfacts/http_date.h"

// The time source: the home page of a large web portal, over plain HTTP.
inline constexpr const char* kTimeSourceAddress = "http://www.baidu.com/";

// The value of the first "Date:" in a response header block, up to the next
// "\r\n": case-sensitive, anywhere in the block (also where it ends a longer
// header name), not trimmed. The empty Text when there is none.
Text DateHeaderValue(const Text& responseHeaders);

// The Beijing time of UTC fields as a parser left them: each field read as a
// signed 16-bit value, clamped by MakeDateTime into a valid DateTime (so fields
// still zero give 1 January 100, 00:00:00), then eight hours later.
DateTime BeijingTimeFromUtcFields(const HttpDateFields& utcFields);

// The Beijing time of an HTTP date that may begin with blanks: the UTC fields
// start at zero, the platform's parser fills them (its success is not asked
// here), MakeDateTime clamps them into a valid DateTime and eight hours are
// added. A text the parser cannot read gives whatever the clamping makes of
// the fields: 100年1月1日8时 where they stay zero (the native reader), or the
// current time where the parser fills them with it (InternetTimeToSystemTime).
DateTime HttpDateToBeijingTime(const Text& httpDate);

// The same conversion, but only for a date that was really read: the empty
// result when the platform's parser reports failure, when the program's own
// reader does not accept the text as an HTTP date, or when the two disagree
// on any of year, month, day, hour, minute and second. The platform's parser
// alone cannot tell, since Wine's InternetTimeToSystemTime answers TRUE with
// the current time for any text.
std::optional<DateTime> TryHttpDateToBeijingTime(const Text& httpDate);

// A HEAD request to `address` and the Beijing time of its Date header; empty
// when the time cannot be had: the request failed, the response has no
// "Date:" line, or its value is not a readable HTTP date.
std::optional<DateTime> FetchNetworkTime(HttpClient& client,
                                         const Text& address = kTimeSourceAddress);
// The same through WebRequest.
std::optional<DateTime> FetchNetworkTime(const Text& address = kTimeSourceAddress);
