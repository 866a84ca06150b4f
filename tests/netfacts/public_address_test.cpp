// The public address: the cuts of the lookup service's reply.
#include "netfacts/public_address.h"

#include <gtest/gtest.h>

#include "tests/netfacts/fake_http_client.h"

namespace {

TEST(PublicAddressFromReply, CutsAddressAndPlaceNameAtTheirMarkers) {
  struct {
    const char* case_;
    const char* reply;
    const char* address;
    const char* placeName;
  } cases[] = {
      {"the service's reply",
       R"(var returnCitySN = {"cip": "203.0.113.7", "cid": "110000", "cname": "北京市"};)",
       "203.0.113.7", "北京市"},
      {"cip without the blank",
       R"(var returnCitySN = {"cip":"203.0.113.7", "cid": "110000", "cname": "北京市"};)", "",
       "北京市"},
      {"cid before cip", R"({"cid": "110000", "cip": "203.0.113.7", "cname": "北京市"};)", "",
       "北京市"},
      {"cid before cip and again after it",
       R"({"cid": "1", "cip": "203.0.113.7", "cid": "2", "cname": "x"};)", "203.0.113.7", "x"},
      {"no cname", R"({"cip": "203.0.113.7", "cid": "110000"};)", "203.0.113.7", ""},
      {"cname not closed", R"({"cip": "203.0.113.7", "cid": "1", "cname": "x"})", "203.0.113.7",
       ""},
      {"an error page", "<html>502 Bad Gateway</html>", "", ""},
      {"nothing", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_);
    Text placeName = "left over";
    EXPECT_EQ(PublicAddressFromReply(c.reply, placeName), Text(c.address));
    EXPECT_EQ(placeName, Text(c.placeName));
  }
}

TEST(QueryPublicAddress, GetsTheServiceAndReadsTheBodyUpToItsFirstZeroByte) {
  const std::string reply = R"({"cip": "203.0.113.7", "cid": "1", "cname": "x"};)";
  FakeHttpClient client;
  client.body.assign(reply.begin(), reply.end());
  Text placeName;
  EXPECT_EQ(QueryPublicAddress(client, kPublicAddressService, placeName), Text("203.0.113.7"));
  EXPECT_EQ(placeName, Text("x"));
  EXPECT_EQ(client.requests, std::vector<std::string>{"GET http://pv.sohu.com/cityjson"});

  client.body.push_back(0);
  client.body.push_back('!');
  EXPECT_EQ(QueryPublicAddress(client, kPublicAddressService, placeName), Text("203.0.113.7"));

  client.body.insert(client.body.begin(), 0);
  EXPECT_EQ(QueryPublicAddress(client, kPublicAddressService, placeName), Text());
  EXPECT_EQ(placeName, Text());
}

}  // namespace
