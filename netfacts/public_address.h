// The public address: the address under which the computer is seen on the
// internet, as a lookup web service reports it.
#pragma once

#include "core/text.h"
#include "netfacts/http_client.h"

// The lookup service, over plain HTTP.
inline constexpr const char* kPublicAddressService = "http://pv.sohu.com/cityjson";

// Cuts the reply apart: returns the text between the first "cip\": \"" and the
// next "\", \"cid" after it, and puts the text between the first
// "cname\": \"" and the next "\"};" into placeName (its content replaced).
// Either is empty when its markers are missing.
Text PublicAddressFromReply(const Text& reply, Text& placeName);

// A GET request to `address` and the address cut out of its body (the body
// taken as text up to its first zero byte, without any conversion).
Text QueryPublicAddress(HttpClient& client, const Text& address, Text& placeName);
// The same through WebRequest: of the lookup service, or of another address.
Text QueryPublicAddress(Text& placeName);
Text QueryPublicAddress(const Text& address, Text& placeName);
