// Fuzz target: the text operations on arbitrary bytes, with positions and
// counts taken from the input. Besides the sanitizers' findings it checks what
// the operations promise: no result holds a zero byte, a search answers -1 or
// a position inside the text (the one a plain character walk finds), cutting
// gives the bytes asked for, splitting and joining again loses nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text.h"
#include "fuzz/fuzz_check.h"

namespace {

bool IsLead(const std::string& s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) >= 0x80;
}
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
bool MatchesAt(const std::string& text, const std::string& sought, std::size_t at, bool fold) {
  if (text.size() - at < sought.size()) return false;
  for (std::size_t k = 0; k < sought.size(); ++k) {
    if (fold ? Fold(text[at + k]) != Fold(sought[k]) : text[at + k] != sought[k]) return false;
  }
  return true;
}

// The character starts of a walk from `from` (lead bytes take two), without a
// lead byte that is the last byte of the text; `visit` returns false to stop.
template <typename Visit>
void WalkCharacters(const std::string& text, std::size_t from, Visit visit) {
  for (std::size_t at = from; at < text.size(); at += IsLead(text, at) ? 2 : 1) {
    if (at + 1 == text.size() && IsLead(text, at)) return;
    if (!visit(at)) return;
  }
}

// The plain walks of the rules, one comparison per character. Quadratic, so
// they run only on inputs short enough to keep the fuzzer fast.
constexpr std::size_t kReferenceLimit = 1024;

int ReferenceFind(const Text& text, const Text& sought, std::optional<int> start, bool fold) {
  const std::size_t offset = (!start || *start < 1) ? 0 : static_cast<std::size_t>(*start) - 1;
  if (offset >= text.size()) return -1;
  if (sought.empty()) return 1;
  int found = -1;
  WalkCharacters(text.bytes(), offset, [&](std::size_t at) {
    if (!MatchesAt(text.bytes(), sought.bytes(), at, fold)) return true;
    found = static_cast<int>(at) + 1;
    return false;
  });
  return found;
}

int ReferenceFindLast(const Text& text, const Text& sought, std::optional<int> start, bool fold) {
  std::size_t region = text.size();
  if (start) region = *start <= 1 ? 0 : std::min(region, static_cast<std::size_t>(*start) - 1);
  if (region == 0) return -1;
  if (sought.empty()) return 1;
  int last = -1;
  WalkCharacters(text.bytes(), 0, [&](std::size_t at) {
    if (at + sought.size() <= region && MatchesAt(text.bytes(), sought.bytes(), at, fold)) {
      last = static_cast<int>(at) + 1;
    }
    return true;
  });
  return last;
}

void CheckCutting(const Text& text, int start, int n) {
  const std::string& bytes = text.bytes();
  const std::size_t size = bytes.size();
  const std::size_t wanted = n <= 0 ? 0 : static_cast<std::size_t>(n);

  const Text left = TextLeft(text, n);
  FUZZ_CHECK(left.bytes() == bytes.substr(0, std::min(wanted, size)));
  const Text right = TextRight(text, n);
  FUZZ_CHECK(right.bytes() == bytes.substr(size - std::min(wanted, size)));
  const Text mid = TextMid(text, start, n);
  if (start < 1 || static_cast<std::size_t>(start) > size || n <= 0) {
    FUZZ_CHECK(mid.empty());
  } else {
    FUZZ_CHECK(mid.bytes() == bytes.substr(static_cast<std::size_t>(start) - 1, wanted));
  }

  const int code = CharCode(text, start);
  if (start < 1 || static_cast<std::size_t>(start) > size) {
    FUZZ_CHECK(code == 0);
  } else {
    FUZZ_CHECK(code == static_cast<signed char>(bytes[static_cast<std::size_t>(start) - 1]));
  }
  FUZZ_CHECK(TextLength(text) == static_cast<int>(size));
}

void CheckSearching(const Text& text, const Text& sought, std::optional<int> start, bool fold) {
  const int found = TextFind(text, sought, start, fold);
  FUZZ_CHECK(found == -1 || (found >= 1 && found <= TextLength(text)));
  const int last = TextFindLast(text, sought, start, fold);
  FUZZ_CHECK(last == -1 || (last >= 1 && last <= TextLength(text)));
  if (text.size() <= kReferenceLimit) {
    FUZZ_CHECK(found == ReferenceFind(text, sought, start, fold));
    FUZZ_CHECK(last == ReferenceFindLast(text, sought, start, fold));
  }
}

void CheckSubstituting(const Text& text, const Text& sought, const Text& replacement, int start,
                       std::optional<int> count, bool caseSensitive) {
  CheckNoZeroByte(TextSubstitute(text, sought, replacement, start, count, caseSensitive));
  // Putting back exactly what was found changes nothing, but for a lone lead
  // byte at the end, which the walk drops.
  const Text same = TextSubstitute(text, sought, sought, start, count, /*caseSensitive=*/true);
  const std::string& bytes = text.bytes();
  FUZZ_CHECK(same.bytes() == bytes ||
             (same.size() + 1 == bytes.size() && IsLead(bytes, bytes.size() - 1) &&
              same.bytes() == bytes.substr(0, bytes.size() - 1)));
}

void CheckSplitting(const Text& text, const Text& delimiter, std::optional<int> maxCount) {
  const TextArray pieces = TextSplit(text, delimiter, maxCount);
  if (maxCount) FUZZ_CHECK(pieces.Count() <= std::max(*maxCount, 0));
  for (const Text& piece : pieces) CheckNoZeroByte(piece);
  if (maxCount || delimiter.empty()) return;
  // Without a limit the pieces joined again give the text, less a delimiter
  // at its end (the empty last piece is dropped).
  std::string joined;
  for (int index = 1; index <= pieces.Count(); ++index) {
    if (index > 1) joined += delimiter.bytes();
    joined += pieces[index].bytes();
  }
  FUZZ_CHECK(joined == text.bytes() || joined + delimiter.bytes() == text.bytes());
}

void CheckTrimmingAndCase(const Text& text) {
  const Text trimmed = TextTrim(text);
  FUZZ_CHECK(trimmed.size() <= text.size());
  FUZZ_CHECK(text.bytes().find(trimmed.bytes()) != std::string::npos);

  const Text upper = TextUpper(text);
  FUZZ_CHECK(upper.size() == text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char before = text.bytes()[at];
    const char after = upper.bytes()[at];
    FUZZ_CHECK(after == before || (before >= 'a' && before <= 'z' && after == before - 32));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string raw = input.ConsumeRandomLengthString();
  const Text text(raw);
  // Every constructor cuts at the first zero byte.
  CheckNoZeroByte(text);
  FUZZ_CHECK(Text(std::string_view(raw)) == text);
  FUZZ_CHECK(Text(raw.c_str()) == text);
  FUZZ_CHECK(raw.compare(0, text.size(), text.bytes()) == 0);

  const Text sought = ConsumeText(input);
  const Text replacement = ConsumeText(input);
  const int start = ConsumePosition(input, text);
  const int n = ConsumePosition(input, text);
  const std::optional<int> optionalStart = ConsumeOptionalPosition(input, text);
  const std::optional<int> count = ConsumeOptionalPosition(input, text);
  const bool fold = input.ConsumeBool();

  CheckCutting(text, start, n);
  CheckSearching(text, sought, optionalStart, fold);
  CheckSubstituting(text, sought, replacement, start, count, fold);
  CheckSplitting(text, sought, count);
  CheckTrimmingAndCase(text);
  return 0;
}
