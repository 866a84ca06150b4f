// The public address: one GET to the lookup service and two cuts of its reply.
#include "netfacts/public_address.h"

#include "web/header_helpers.h"

Text PublicAddressFromReply(const Text& reply, Text& placeName) {
  placeName = TextBetween(reply, "cname\": \"", "\"};");
  return TextBetween(reply, "cip\": \"", "\", \"cid");
}

Text QueryPublicAddress(HttpClient& client, const Text& address, Text& placeName) {
  return PublicAddressFromReply(ToText(client.Get(address)), placeName);
}

Text QueryPublicAddress(Text& placeName) {
  return QueryPublicAddress(WebRequestClient(), kPublicAddressService, placeName);
}

Text QueryPublicAddress(const Text& address, Text& placeName) {
  return QueryPublicAddress(WebRequestClient(), address, placeName);
}
