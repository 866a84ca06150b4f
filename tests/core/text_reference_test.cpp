// The fast searching, substituting, splitting and trimming against plain
// reference walks written step by step from the rules (one character at a
// time, a comparison at each), on many random short texts over an alphabet
// of ASCII letters, delimiters and lead-range bytes. A disagreement prints the
// inputs.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <random>

#include "core/text.h"
#include "tests/core/printers.h"

namespace {

using testing::PrintToString;

bool Lead(const std::string& s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) >= 0x80;
}
std::size_t Step(const std::string& s, std::size_t at) {
  return Lead(s, at) ? 2 : 1;
}
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool MatchesAt(const std::string& text, const std::string& sought, std::size_t at, bool fold) {
  if (text.size() - at < sought.size()) return false;
  for (std::size_t k = 0; k < sought.size(); ++k) {
    const char a = text[at + k];
    const char b = sought[k];
    if (fold ? Fold(a) != Fold(b) : a != b) return false;
  }
  return true;
}

bool LoneLead(const std::string& s, std::size_t at) {
  return at + 1 == s.size() && Lead(s, at);
}

int ReferenceFind(const std::string& text, const std::string& sought, std::optional<int> start,
                  bool fold) {
  const std::size_t offset = (!start || *start < 1) ? 0 : static_cast<std::size_t>(*start) - 1;
  if (offset >= text.size()) return -1;
  if (sought.empty()) return 1;
  for (std::size_t at = offset; at < text.size() && !LoneLead(text, at); at += Step(text, at)) {
    if (MatchesAt(text, sought, at, fold)) return static_cast<int>(at) + 1;
  }
  return -1;
}

int ReferenceFindLast(const std::string& text, const std::string& sought, std::optional<int> start,
                      bool fold) {
  std::size_t region = text.size();
  if (start) region = *start <= 1 ? 0 : std::min(region, static_cast<std::size_t>(*start) - 1);
  if (region == 0) return -1;
  if (sought.empty()) return 1;
  int last = -1;
  for (std::size_t at = 0; at < text.size() && !LoneLead(text, at); at += Step(text, at)) {
    if (at + sought.size() <= region && MatchesAt(text, sought, at, fold)) {
      last = static_cast<int>(at) + 1;
    }
  }
  return last;
}

std::string ReferenceSubstitute(const std::string& text, const std::string& sought,
                                const std::string& replacement, int start, std::optional<int> count,
                                bool caseSensitive) {
  const std::size_t offset = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (text.empty() || sought.empty() || offset >= text.size() || (count && *count == 0)) {
    return text;
  }
  const int limit = (count && *count > 0) ? *count : INT_MAX;
  std::string result = text.substr(0, offset);
  std::size_t at = offset;
  int made = 0;
  while (at < text.size() && made < limit && text.size() - at >= sought.size()) {
    if (LoneLead(text, at)) break;
    if (MatchesAt(text, sought, at, !caseSensitive)) {
      result += replacement;
      at += sought.size();
      ++made;
    } else {
      result += text.substr(at, Step(text, at));
      at += Step(text, at);
    }
  }
  // The rest, without a lead byte that stands alone at the very end.
  std::size_t walk = at;
  while (walk + 1 < text.size()) walk += Step(text, walk);
  const std::size_t end = (walk + 1 == text.size() && Lead(text, walk)) ? walk : text.size();
  if (at < end) result += text.substr(at, end - at);
  return result;
}

TextArray ReferenceSplit(const std::string& text, const std::string& delimiter,
                         std::optional<int> maxCount) {
  TextArray pieces;
  if (text.empty() || (maxCount && *maxCount <= 0)) return pieces;
  if (delimiter.empty()) return TextArray{Text(text)};
  const int limit = maxCount ? *maxCount : INT_MAX;
  std::size_t pieceStart = 0;
  std::size_t at = 0;
  while (at < text.size() && !LoneLead(text, at)) {
    if (MatchesAt(text, delimiter, at, false)) {
      pieces.Append(Text(text.substr(pieceStart, at - pieceStart)));
      if (pieces.Count() == limit) return pieces;
      at += delimiter.size();
      pieceStart = at;
    } else {
      at += Step(text, at);
    }
  }
  if (pieceStart < text.size()) pieces.Append(Text(text.substr(pieceStart)));
  return pieces;
}

std::string ReferenceTrim(const std::string& text) {
  auto blankAt = [&](std::size_t at) {
    return text[at] == ' ' || (at + 1 < text.size() && text.compare(at, 2, "\xA1\xA1") == 0);
  };
  std::size_t at = 0;
  while (at < text.size() && !LoneLead(text, at) && blankAt(at)) at += Step(text, at);
  const std::size_t first = at;
  std::size_t runStart = std::string::npos;
  for (; at < text.size() && !LoneLead(text, at); at += Step(text, at)) {
    if (!blankAt(at)) {
      runStart = std::string::npos;
    } else if (runStart == std::string::npos) {
      runStart = at;
    }
  }
  const std::size_t end = runStart != std::string::npos ? runStart : at;
  return text.substr(first, end - first);
}

class RandomTexts {
 public:
  explicit RandomTexts(unsigned seed) : engine_(seed) {}
  std::string Make(std::size_t maxLength) {
    // Letters of both cases, a delimiter, a space, and lead-range bytes (A1
    // makes full-width spaces, 82 the lead of 俠 whose second byte is "b").
    static constexpr char kAlphabet[] = {'a', 'b', 'B', ',', ' ', '\xA1', '\xD6', '\x82'};
    std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(engine_), 'a');
    for (char& c : text) c = kAlphabet[Pick(sizeof(kAlphabet))];
    return text;
  }
  std::optional<int> MaybeNumber(int low, int high) {
    if (Pick(4) == 0) return std::nullopt;
    return std::uniform_int_distribution<int>(low, high)(engine_);
  }
  bool Flag() { return Pick(2) == 0; }

 private:
  std::size_t Pick(std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(engine_);
  }
  std::mt19937 engine_;
};

TEST(TextWalksAgainstReference, AgreeOnRandomTexts) {
  RandomTexts random(20191004);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = random.Make(12);
    const std::string sought = random.Make(3);
    const std::string replacement = random.Make(2);
    const std::optional<int> start = random.MaybeNumber(-1, 14);
    const std::optional<int> count = random.MaybeNumber(-1, 3);
    const bool flag = random.Flag();
    SCOPED_TRACE(PrintToString(Text(text)) + " sought " + PrintToString(Text(sought)) +
                 " replacement " + PrintToString(Text(replacement)) + " start " +
                 (start ? std::to_string(*start) : "left out") + " count " +
                 (count ? std::to_string(*count) : "left out") + " flag " + std::to_string(flag));
    ASSERT_EQ(TextFind(text, sought, start, flag), ReferenceFind(text, sought, start, flag));
    ASSERT_EQ(TextFindLast(text, sought, start, flag),
              ReferenceFindLast(text, sought, start, flag));
    ASSERT_EQ(TextSubstitute(text, sought, replacement, start.value_or(1), count, flag),
              Text(ReferenceSubstitute(text, sought, replacement, start.value_or(1), count, flag)));
    ASSERT_EQ(TextSplit(text, sought, count), ReferenceSplit(text, sought, count));
    ASSERT_EQ(TextTrim(text), Text(ReferenceTrim(text)));
  }
}

TEST(TextWalksAgainstReference, AgreeOnLongSoughtTexts) {
  // Sought texts longer than the fail table kept inside the matcher.
  RandomTexts random(42);
  for (int round = 0; round < 2000; ++round) {
    std::string text = random.Make(200);
    const std::string sought = text.size() > 40 ? text.substr(text.size() / 3, 40) : "a";
    text += random.Make(50) + sought;
    SCOPED_TRACE(PrintToString(Text(text)) + " sought " + PrintToString(Text(sought)));
    ASSERT_EQ(TextFind(text, sought), ReferenceFind(text, sought, std::nullopt, false));
    ASSERT_EQ(TextFindLast(text, sought, std::nullopt, true),
              ReferenceFindLast(text, sought, std::nullopt, true));
    ASSERT_EQ(TextSubstitute(text, sought, "-"),
              Text(ReferenceSubstitute(text, sought, "-", 1, std::nullopt, false)));
  }
}

}  // namespace
