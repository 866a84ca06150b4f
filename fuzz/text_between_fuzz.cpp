// Fuzz target: TextBetween and TextBefore with arbitrary texts, markers (the
// quote marker included), starts and case flags. What they cut out must be
// bytes of the text: TextBefore a beginning of it, TextBetween a piece of it
// that follows its left marker.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "web/header_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Text text = ConsumeText(input);
  const Text left = ConsumeText(input);
  const Text right = ConsumeText(input);
  const int start = ConsumePosition(input, text);
  const bool caseInsensitive = input.ConsumeBool();

  const Text between = TextBetween(text, left, right, start, caseInsensitive);
  CheckNoZeroByte(between);
  FUZZ_CHECK(between.size() <= text.size());
  if (!between.empty()) {
    FUZZ_CHECK(text.bytes().find(between.bytes()) != std::string::npos);
  }

  const Text before = TextBefore(text, left, start, caseInsensitive);
  CheckNoZeroByte(before);
  FUZZ_CHECK(text.bytes().compare(0, before.size(), before.bytes()) == 0);
  // The marker was found at the first byte after what is before it.
  if (!before.empty()) {
    FUZZ_CHECK(TextFind(text, left, start, caseInsensitive) == TextLength(before) + 1);
  }
  return 0;
}
