// The header and text extraction helpers, built only on the text primitives.
#include "web/header_helpers.h"

#include <cstddef>
#include <cstdint>

namespace {

// Every quote marker of a marker turned into one double-quote byte (all of
// them, exact bytes).
Text WithQuotes(const Text& marker) {
  return TextSubstitute(marker, kQuoteMarker, "\"", 1, std::nullopt, /*caseSensitive=*/true);
}

}  // namespace

Text TextBetween(const Text& text, const Text& left, const Text& right, int start,
                 bool caseInsensitive) {
  const Text leftMarker = WithQuotes(left);
  const Text rightMarker = WithQuotes(right);
  // TextFind reads any start of 1 or less as the first byte.
  const int leftAt = TextFind(text, leftMarker, start, caseInsensitive);
  if (leftAt == -1) return Text();
  const int from = leftAt + TextLength(leftMarker);
  // Searching from the first byte after the left marker: a right marker
  // before or overlapping it does not count.
  const int rightAt = TextFind(text, rightMarker, from, caseInsensitive);
  if (rightAt == -1) return Text();
  return TextMid(text, from, rightAt - from);
}

Text TextBefore(const Text& text, const Text& marker, int start, bool caseInsensitive) {
  if (start <= 0) start = 1;
  const int at = TextFind(text, marker, start, caseInsensitive);
  if (at == -1) return Text();
  return TextLeft(text, at - 1);
}

Text HeaderLineName(const Text& line) {
  const int colon = TextFind(line, ":");
  if (colon == -1) return Text();
  return TextTrim(TextLeft(line, colon - 1));
}

Text HeaderLineValue(const Text& line) {
  const int colon = TextFind(line, ":");
  if (colon == -1) return Text();
  return TextTrim(TextRight(line, TextLength(line) - colon));
}

Text CapitalizeFirst(const Text& text) {
  Text first = TextLeft(text, 1);
  // A lead byte alone is an unfinished character, which the walking
  // primitives may drop; it never changes, so it is kept as it is.
  if (CharCode(first) >= 0) first = TextUpper(first);
  return first + TextMid(text, 2, TextLength(text) - 1);
}

Text NormalizeHeaderBlock(const Text& block) {
  Text output;
  for (const Text& line : TextSplit(block, "\r\n")) {
    const int colon = TextFind(line, ":");
    if (colon == -1) continue;  // also drops the empty lines
    const Text name = TextLeft(line, colon - 1);
    // Each piece of the name between "-" is capitalised and the "-" stay
    // where they were, also at the ends and in runs (a--b gives A--B). The
    // name is walked here rather than split with TextSplit, which would drop
    // an empty last piece and with it a final "-".
    Text newName;
    int pieceStart = 1;
    while (true) {
      const int dash = TextFind(name, "-", pieceStart);
      if (dash == -1) {
        newName += CapitalizeFirst(TextMid(name, pieceStart, TextLength(name) - pieceStart + 1));
        break;
      }
      newName += CapitalizeFirst(TextMid(name, pieceStart, dash - pieceStart)) + "-";
      pieceStart = dash + 1;
    }
    output += newName + TextMid(line, colon, TextLength(line) - colon + 1) + "\r\n";
  }
  return TextLeft(output, TextLength(output) - 2);
}

Text Base64Encode(const ByteArray& data) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  encoded.reserve((data.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < data.size(); i += 3) {
    const std::size_t count = data.size() - i < 3 ? data.size() - i : 3;
    std::uint32_t group = static_cast<std::uint32_t>(data[i]) << 16;
    if (count > 1) group |= static_cast<std::uint32_t>(data[i + 1]) << 8;
    if (count > 2) group |= data[i + 2];
    encoded += kAlphabet[(group >> 18) & 0x3F];
    encoded += kAlphabet[(group >> 12) & 0x3F];
    encoded += count > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    encoded += count > 2 ? kAlphabet[group & 0x3F] : '=';
  }
  return Text(encoded);
}
