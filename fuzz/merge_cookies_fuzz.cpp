// Fuzz target: MergeCookies on an arbitrary sent list and returned list. The
// merged list is written back to the sent one and is made of their items and
// separators only, so it is at most a few bytes longer than both together.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_check.h"
#include "web/cookies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Text sent = ConsumeText(input);
  const Text returned(input.ConsumeRemainingBytesAsString());

  Text cookies = sent;
  const Text merged = MergeCookies(cookies, returned);
  CheckNoZeroByte(merged);
  FUZZ_CHECK(cookies == merged);
  // Each list may gain a blank after a last ";", and one "; " joins them.
  FUZZ_CHECK(merged.size() <= sent.size() + returned.size() + 4);
  return 0;
}
