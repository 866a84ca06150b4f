// The text, byte and array primitives: pure functions of their arguments.
//
// Searching, substituting, splitting, trimming and upper-casing walk a text by
// characters (a byte of 0x80 or above is a lead byte and takes the next byte
// with it), so a match is only ever tried at the first byte of a character,
// counted from where the walk began. Every operation is one linear pass: the
// matcher below is Knuth-Morris-Pratt over the bytes and settles character
// boundaries behind it, so no input makes it quadratic.
#include "core/text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>

#include "core/fatal.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsLeadByte(unsigned char byte) {
  return byte >= 0x80;
}
bool IsAsciiLetter(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// Case folding maps every byte to one representative: two bytes match with
// folding exactly when they are equal or are ASCII letters differing in case.
unsigned char Fold(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// The start offset of a 1-based position that is at least 1 (0 and negative
// count as 1), without overflow for any int.
std::size_t OffsetOf(std::optional<int> start) {
  return (!start || *start < 1) ? 0 : static_cast<std::size_t>(*start) - 1;
}

// Finds the occurrences of sought that begin at character boundaries of a walk.
//
// A Knuth-Morris-Pratt cursor reads every byte at most once (memchr skips to
// the next possible first byte while nothing is matched). Whether a found
// occurrence starts a character is decided without walking every byte: after
// any byte below 0x80 a character always starts, so only the run of lead-range
// bytes just before the occurrence is counted, back to the last known
// character start. Occurrences come in rising order, so those runs never
// overlap and the whole search stays one linear pass. A lead byte that is the
// last byte of the text ends the walk: no match starts there.
class Matcher {
 public:
  // inlineFail_ is filled up to the pattern's length before any read; zeroing
  // all of it would cost every search.
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
  Matcher(std::string_view text, std::string_view sought, bool foldCase)
      : text_(text), foldCase_(foldCase), pattern_(sought) {
    if (foldCase_) {
      folded_.assign(sought);
      for (char& byte : folded_) byte = static_cast<char>(Fold(static_cast<unsigned char>(byte)));
      pattern_ = folded_;
    }
    // fail_[k]: the length of the longest proper border of pattern_[0..k].
    if (pattern_.size() <= inlineFail_.size()) {
      fail_ = inlineFail_.data();
    } else {
      heapFail_.resize(pattern_.size());
      fail_ = heapFail_.data();
    }
    fail_[0] = 0;
    std::size_t border = 0;
    for (std::size_t k = 1; k < pattern_.size(); ++k) {
      while (border > 0 && pattern_[k] != pattern_[border]) border = fail_[border - 1];
      if (pattern_[k] == pattern_[border]) ++border;
      fail_[k] = border;
    }
    firstByte_ = static_cast<unsigned char>(pattern_[0]);
    firstByteFolds_ = foldCase_ && IsAsciiLetter(firstByte_);
  }
  Matcher(const Matcher&) = delete;
  Matcher& operator=(const Matcher&) = delete;
  ~Matcher() = default;

  // Begins a new walk at byte `from`, which counts as the first byte of a
  // character; only occurrences wholly inside the first `end` bytes count.
  void Restart(std::size_t from, std::size_t end) {
    next_ = from;
    walk_ = from;
    end_ = end;
    matched_ = 0;
    nextLower_ = nextUpper_ = kNone;
  }

  // The start of the next occurrence (occurrences may overlap), or kNone.
  std::size_t Next() {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
    const std::size_t length = pattern_.size();
    while (next_ < end_) {
      if (matched_ == 0) {
        next_ = SkipToFirstByte(bytes, next_);
        if (next_ >= end_) break;
      }
      const unsigned char byte = foldCase_ ? Fold(bytes[next_]) : bytes[next_];
      ++next_;
      while (matched_ > 0 && static_cast<unsigned char>(pattern_[matched_]) != byte) {
        matched_ = fail_[matched_ - 1];
      }
      if (static_cast<unsigned char>(pattern_[matched_]) == byte) ++matched_;
      if (matched_ == length) {
        matched_ = fail_[length - 1];
        const std::size_t start = next_ - length;
        if (StartsCharacter(start) && !IsLoneLeadByte(start)) return start;
      }
    }
    return kNone;
  }

  // Whether the last byte of the text is a lead byte standing alone, as seen
  // by the current walk. Asked last, after the searching.
  bool EndsInLoneLeadByte() {
    if (text_.empty() || walk_ >= text_.size()) return false;
    const std::size_t last = text_.size() - 1;
    return StartsCharacter(last) && IsLoneLeadByte(last);
  }

 private:
  bool IsLoneLeadByte(std::size_t position) const {
    return position + 1 == text_.size() && IsLeadByte(static_cast<unsigned char>(text_[position]));
  }

  // Positions are asked for in rising order; walk_ is a character start at or
  // before the next one asked.
  bool StartsCharacter(std::size_t position) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
    std::size_t from = position;
    while (from > walk_ && IsLeadByte(bytes[from - 1])) --from;
    // A character starts at `from`: it is walk_, or follows a byte below 0x80.
    // From there the lead-range bytes pair up.
    const bool starts = (position - from) % 2 == 0;
    walk_ = starts ? position : position + 1;
    return starts;
  }

  std::size_t SkipToFirstByte(const unsigned char* bytes, std::size_t from) {
    if (!firstByteFolds_) return Find(bytes, firstByte_, from);
    // Either case of a letter: two memchr cursors, each only moving forward.
    if (nextLower_ == kNone || nextLower_ < from) nextLower_ = Find(bytes, firstByte_, from);
    if (nextUpper_ == kNone || nextUpper_ < from) {
      nextUpper_ = Find(bytes, static_cast<unsigned char>(firstByte_ - ('a' - 'A')), from);
    }
    return std::min(nextLower_, nextUpper_);
  }

  std::size_t Find(const unsigned char* bytes, unsigned char byte, std::size_t from) const {
    const void* found = std::memchr(bytes + from, byte, end_ - from);
    return found == nullptr
               ? end_
               : static_cast<std::size_t>(static_cast<const unsigned char*>(found) - bytes);
  }

  std::string_view text_;
  bool foldCase_;
  std::string_view pattern_;
  std::string folded_;
  std::array<std::size_t, 32> inlineFail_;
  std::vector<std::size_t> heapFail_;
  std::size_t* fail_ = nullptr;
  unsigned char firstByte_ = 0;
  bool firstByteFolds_ = false;
  std::size_t next_ = 0;
  std::size_t walk_ = 0;
  std::size_t end_ = 0;
  std::size_t matched_ = 0;
  std::size_t nextLower_ = kNone;
  std::size_t nextUpper_ = kNone;
};

bool IsBlankAt(std::string_view bytes, std::size_t at) {
  return bytes[at] == ' ' ||
         (at + 1 < bytes.size() && bytes[at] == '\xA1' && bytes[at + 1] == '\xA1');
}

}  // namespace

// --- Text, TextArray --------------------------------------------------------

Text::Text(const char* bytes) : Text(std::string_view(bytes == nullptr ? "" : bytes)) {}

Text::Text(std::string_view bytes) : bytes_(bytes.substr(0, bytes.find('\0'))) {}

Text::Text(std::string&& bytes) : bytes_(std::move(bytes)) {
  if (const std::size_t zero = bytes_.find('\0'); zero != std::string::npos) bytes_.resize(zero);
}

Text& Text::operator+=(const Text& other) {
  bytes_ += other.bytes_;
  return *this;
}

const Text& TextArray::operator[](int index) const {
  if (index < 1 || index > Count()) {
    StopWithError("数组下标越界：" + ToText(index) + "，元素个数 " + ToText(Count()));
  }
  return items_[static_cast<std::size_t>(index - 1)];
}

Text& TextArray::operator[](int index) {
  return const_cast<Text&>(static_cast<const TextArray&>(*this)[index]);
}

// --- Text operations --------------------------------------------------------

int TextLength(const Text& text) {
  return static_cast<int>(text.size());
}

Text TextLeft(const Text& text, int n) {
  if (n <= 0) return Text();
  return Text(std::string_view(text.bytes()).substr(0, static_cast<std::size_t>(n)));
}

Text TextRight(const Text& text, int n) {
  if (n <= 0) return Text();
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
  return Text(std::string_view(text.bytes()).substr(text.size() - count));
}

Text TextMid(const Text& text, int start, int n) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) return Text();
  return Text(std::string_view(text.bytes())
                  .substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

int TextFind(const Text& text, const Text& sought, std::optional<int> start, bool caseInsensitive) {
  const std::size_t offset = OffsetOf(start);
  if (offset >= text.size()) return -1;
  if (sought.empty()) return 1;
  Matcher matcher(text.bytes(), sought.bytes(), caseInsensitive);
  matcher.Restart(offset, text.size());
  const std::size_t found = matcher.Next();
  return found == kNone ? -1 : static_cast<int>(found) + 1;
}

int TextFindLast(const Text& text, const Text& sought, std::optional<int> start,
                 bool caseInsensitive) {
  // The region: the bytes before position start, the whole text when start is
  // left out or lies beyond the text.
  std::size_t region = text.size();
  if (start) {
    if (*start <= 1) return -1;
    region = std::min(region, static_cast<std::size_t>(*start) - 1);
  }
  if (region == 0) return -1;
  if (sought.empty()) return 1;
  Matcher matcher(text.bytes(), sought.bytes(), caseInsensitive);
  matcher.Restart(0, region);
  std::size_t last = kNone;
  for (std::size_t found = matcher.Next(); found != kNone; found = matcher.Next()) last = found;
  return last == kNone ? -1 : static_cast<int>(last) + 1;
}

Text TextSubstitute(const Text& text, const Text& sought, const Text& replacement, int start,
                    std::optional<int> count, bool caseSensitive) {
  const std::size_t offset = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (text.empty() || sought.empty() || offset >= text.size() || (count && *count == 0)) {
    return text;
  }
  const int limit = (count && *count > 0) ? *count : std::numeric_limits<int>::max();
  const std::string_view bytes = text.bytes();

  std::string result;
  result.reserve(text.size());
  result.append(bytes.substr(0, offset));
  Matcher matcher(bytes, sought.bytes(), !caseSensitive);
  std::size_t copied = offset;  // bytes of text dealt with so far
  matcher.Restart(copied, bytes.size());
  for (int made = 0; made < limit; ++made) {
    const std::size_t found = matcher.Next();
    if (found == kNone) break;
    result.append(bytes.substr(copied, found - copied));
    result += replacement.bytes();
    // A replaced occurrence is not searched again: the walk goes on after it.
    copied = found + sought.size();
    matcher.Restart(copied, bytes.size());
  }
  const std::size_t end = matcher.EndsInLoneLeadByte() ? bytes.size() - 1 : bytes.size();
  if (copied < end) result.append(bytes.substr(copied, end - copied));
  return Text(std::move(result));
}

TextArray TextSplit(const Text& text, const Text& delimiter, std::optional<int> maxCount) {
  TextArray pieces;
  if (text.empty() || (maxCount && *maxCount <= 0)) return pieces;
  if (delimiter.empty()) {
    pieces.Append(text);
    return pieces;
  }
  const int limit = maxCount ? *maxCount : std::numeric_limits<int>::max();
  const std::string_view bytes = text.bytes();
  Matcher matcher(bytes, delimiter.bytes(), /*foldCase=*/false);
  std::size_t pieceStart = 0;
  matcher.Restart(0, bytes.size());
  for (std::size_t found = matcher.Next(); found != kNone; found = matcher.Next()) {
    pieces.Append(Text(bytes.substr(pieceStart, found - pieceStart)));
    if (pieces.Count() >= limit) return pieces;
    pieceStart = found + delimiter.size();
    matcher.Restart(pieceStart, bytes.size());
  }
  // Bytes after the last delimiter make a piece only when there are some.
  if (pieceStart < bytes.size()) pieces.Append(Text(bytes.substr(pieceStart)));
  return pieces;
}

Text TextTrim(const Text& text) {
  const std::string_view bytes = text.bytes();
  const std::size_t size = bytes.size();
  std::size_t at = 0;
  // A lead byte that is the last byte ends the walk and is dropped.
  auto atLoneLeadByte = [&](std::size_t position) {
    return position + 1 == size && IsLeadByte(static_cast<unsigned char>(bytes[position]));
  };
  while (at < size && !atLoneLeadByte(at) && IsBlankAt(bytes, at)) at += bytes[at] == ' ' ? 1 : 2;
  const std::size_t first = at;
  std::size_t end = at;  // the end of the last character that is not a blank
  while (at < size && !atLoneLeadByte(at)) {
    const bool blank = IsBlankAt(bytes, at);
    at += IsLeadByte(static_cast<unsigned char>(bytes[at])) ? 2 : 1;
    if (!blank) end = at;
  }
  return Text(bytes.substr(first, end - first));
}

Text TextUpper(const Text& text) {
  std::string result = text.bytes();
  for (std::size_t at = 0; at < result.size();) {
    const auto byte = static_cast<unsigned char>(result[at]);
    if (IsLeadByte(byte)) {
      at += 2;  // the byte after a lead byte belongs to the character: left alone
    } else {
      if (byte >= 'a' && byte <= 'z') result[at] = static_cast<char>(byte - ('a' - 'A'));
      ++at;
    }
  }
  return Text(std::move(result));
}

int CharCode(const Text& text, std::optional<int> position) {
  const int at = position.value_or(1);
  if (at < 1 || static_cast<std::size_t>(at) > text.size()) return 0;
  return static_cast<int>(static_cast<signed char>(text.bytes()[static_cast<std::size_t>(at) - 1]));
}

// --- Text forms --------------------------------------------------------------

Text ToText(int number) {
  return Text(std::to_string(number));
}

Text ToText(const ByteArray& bytes) {
  return ToTextFromField(bytes.data(), bytes.size());
}

Text ToTextFromField(const void* field, std::size_t size) {
  if (field == nullptr || size == 0) return Text();
  return Text(std::string_view(static_cast<const char*>(field), size));
}

ByteArray ToBytes(const Text& text) {
  return ByteArray(text.bytes().begin(), text.bytes().end());
}

// --- Byte operations --------------------------------------------------------

int BytesLength(const ByteArray& bytes) {
  return static_cast<int>(bytes.size());
}

ByteArray BytesMid(const ByteArray& bytes, int start, int n) {
  const std::int64_t length = static_cast<std::int64_t>(bytes.size());
  const std::int64_t offset = std::clamp<std::int64_t>(std::int64_t{start} - 1, 0, length);
  const std::int64_t count = std::min<std::int64_t>(std::max(n, 0), length - offset);
  if (count == 0) return ByteArray();
  return ByteArray(bytes.begin() + offset, bytes.begin() + offset + count);
}

ByteArray BlankBytes(int n) {
  return n <= 0 ? ByteArray() : ByteArray(static_cast<std::size_t>(n));
}
