// The native build's HTTP date parser: the program's own reader. It writes
// nothing for a text it cannot read, so the fields keep the zeros they started
// with.
#include "netfacts/http_date.h"

bool ParseHttpDate(const Text& httpDate, HttpDateFields& utcFields) {
  return ReadHttpDate(httpDate, utcFields);
}
