// Fuzz target: the returned-cookie list the request routine builds from a
// response header block, and its merge into the sent cookies. That list is
// built inside WebRequest and not exposed, so the target drives WebRequest
// with the recording fake request platform of the unit tests, whose object
// answers with the fuzzed header block.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_check.h"
#include "tests/web/fake_request_object.h"
#include "web/web_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool merge = input.ConsumeBool();
  Text cookies = ConsumeText(input);

  FakeRequestPlatform platform;
  platform.response.headers = Text(input.ConsumeRemainingBytesAsString());
  platform.response.status = 200;

  Text returnedCookies;
  Text responseHeaders;
  WebRequestArgs args;
  args.cookies = &cookies;
  args.returnedCookies = &returnedCookies;
  args.responseHeaders = &responseHeaders;
  args.autoMergeCookies = merge;
  WebRequest("http://127.0.0.1/", args, platform);

  FUZZ_CHECK(responseHeaders == platform.response.headers);
  CheckNoZeroByte(returnedCookies);
  CheckNoZeroByte(cookies);
  // Set-Cookie values are parts of the block, joined by "; ".
  if (!merge) FUZZ_CHECK(returnedCookies.size() <= 2 * responseHeaders.size());
  if (merge) FUZZ_CHECK(returnedCookies == cookies);
  return 0;
}
