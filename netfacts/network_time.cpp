// The network time: cutting the Date header out of a response, converting the
// HTTP date to Beijing time, and deciding whether a time was had at all.
#include "netfacts/network_time.h"

#include "netfacts/http_date.h"
#include "web/header_helpers.h"

namespace {

struct Conversion {
  DateTime beijingTime;
  bool read = false;
};

bool SameDateAndTime(const HttpDateFields& a, const HttpDateFields& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

// Each field read as a signed 16-bit value, as the platform record holds it.
int Signed(std::uint16_t field) {
  return static_cast<std::int16_t>(field);
}

Conversion ConvertHttpDate(const Text& httpDate) {
  HttpDateFields utcFields;  // all eight fields zero
  const bool parsed = ParseHttpDate(httpDate, utcFields);
  HttpDateFields ownReading;
  const bool read =
      parsed && ReadHttpDate(httpDate, ownReading) && SameDateAndTime(ownReading, utcFields);
  return {BeijingTimeFromUtcFields(utcFields), read};
}

}  // namespace

DateTime BeijingTimeFromUtcFields(const HttpDateFields& utcFields) {
  // Day of week and milliseconds are not used: every value has whole seconds.
  const DateTime utc =
      MakeDateTime(Signed(utcFields.year), Signed(utcFields.month), Signed(utcFields.day),
                   Signed(utcFields.hour), Signed(utcFields.minute), Signed(utcFields.second));
  return AddToDateTime(utc, kHours, 8);
}

Text DateHeaderValue(const Text& responseHeaders) {
  return TextBetween(responseHeaders, "Date:", "\r\n");
}

DateTime HttpDateToBeijingTime(const Text& httpDate) {
  return ConvertHttpDate(httpDate).beijingTime;
}

std::optional<DateTime> TryHttpDateToBeijingTime(const Text& httpDate) {
  const Conversion conversion = ConvertHttpDate(httpDate);
  if (!conversion.read) return std::nullopt;
  return conversion.beijingTime;
}

std::optional<DateTime> FetchNetworkTime(HttpClient& client, const Text& address) {
  return TryHttpDateToBeijingTime(DateHeaderValue(client.Head(address)));
}

std::optional<DateTime> FetchNetworkTime(const Text& address) {
  return FetchNetworkTime(WebRequestClient(), address);
}
