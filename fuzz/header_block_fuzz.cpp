// Fuzz target: NormalizeHeaderBlock on an arbitrary header block (the whole
// input). The normalised block only drops lines and upper-cases letters, so it
// is never longer than the block; no "\r\n" ends it where the character walk
// sees one (a lead byte before "\r" takes the "\r" into its character, so
// the bytes may still end in "\r\n" for a block that is not GBK).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "web/header_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text block(std::string_view(reinterpret_cast<const char*>(data), size));
  const Text normalized = NormalizeHeaderBlock(block);
  CheckNoZeroByte(normalized);
  FUZZ_CHECK(normalized.size() <= block.size());
  const int lastBreak = TextFindLast(normalized, "\r\n");
  FUZZ_CHECK(lastBreak == -1 || lastBreak + 1 < TextLength(normalized));

  // The parts of each line too, as the request routine takes them apart.
  for (const Text& line : TextSplit(block, "\r\n")) {
    CheckNoZeroByte(HeaderLineName(line));
    CheckNoZeroByte(HeaderLineValue(line));
  }
  return 0;
}
