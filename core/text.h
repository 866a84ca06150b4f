// Text, ByteArray and TextArray, and the primitive operations on them.
//
// A Text holds code page 936 (GBK) bytes and never a zero byte. Positions are
// 1-based byte positions; a search that finds nothing gives -1. The searching,
// splitting, trimming and case operations walk a text one character at a time:
// a byte of 0x80 or above is a lead byte and moves the walk two bytes, so a
// search never matches from the second byte of a double-byte character.
// Every operation returns a new value and never changes its arguments.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Counted bytes that may hold zeros.
using ByteArray = std::vector<std::uint8_t>;

class Text {
 public:
  Text() = default;
  // Takes the bytes up to, not including, the first zero byte: a Text never
  // holds one.
  Text(const char* bytes);       // NOLINT(google-explicit-constructor): literals are texts
  Text(std::string_view bytes);  // NOLINT(google-explicit-constructor)
  Text(const std::string& bytes)
      : Text(std::string_view(bytes)) {}  // NOLINT(google-explicit-constructor)
  Text(std::string&& bytes);              // NOLINT(google-explicit-constructor)

  const std::string& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  // Zero-terminated, for the ANSI platform calls that take one.
  const char* c_str() const { return bytes_.c_str(); }

  Text& operator+=(const Text& other);
  friend Text operator+(Text left, const Text& right) { return left += right; }
  friend bool operator==(const Text&, const Text&) = default;
  friend std::strong_ordering operator<=>(const Text&, const Text&) = default;

 private:
  std::string bytes_;
};

// An array of texts indexed from 1 to its count. An index out of that range is
// a programming error and ends the program through StopWithError.
class TextArray {
 public:
  TextArray() = default;
  TextArray(std::initializer_list<Text> items) : items_(items) {}

  int Count() const { return static_cast<int>(items_.size()); }
  const Text& operator[](int index) const;
  Text& operator[](int index);
  void Append(Text item) { items_.push_back(std::move(item)); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  friend bool operator==(const TextArray&, const TextArray&) = default;

 private:
  std::vector<Text> items_;
};

// --- Text operations -------------------------------------------------------

int TextLength(const Text& text);
Text TextLeft(const Text& text, int n);
Text TextRight(const Text& text, int n);
Text TextMid(const Text& text, int start, int n);

// First occurrence at or after start (left out, 0 or negative: from byte 1),
// trying only character starts counted from there; -1 when there is none. An
// empty sought gives 1 when the searched region has bytes, else -1. Folds
// ASCII case only when caseInsensitive is true.
int TextFind(const Text& text, const Text& sought, std::optional<int> start = std::nullopt,
             bool caseInsensitive = false);

// Last occurrence lying wholly before position start (whole text when left
// out; nothing when start is 1 or less), walking from the first byte.
int TextFindLast(const Text& text, const Text& sought, std::optional<int> start = std::nullopt,
                 bool caseInsensitive = false);

// Replaces occurrences of sought from start on, at most count of them (left out
// or negative: all; 0: none), never overlapping. Note the opposite sense of
// the case flag: it folds ASCII case unless caseSensitive is true. A lead byte
// that is the last byte of the text is dropped (when anything is searched).
Text TextSubstitute(const Text& text, const Text& sought, const Text& replacement = Text(),
                    int start = 1, std::optional<int> count = std::nullopt,
                    bool caseSensitive = false);

// Pieces between delimiters (exact bytes); an empty last piece is dropped, an
// empty delimiter gives the whole text. maxCount left out means no limit; 0 or
// negative gives no pieces.
TextArray TextSplit(const Text& text, const Text& delimiter = Text(","),
                    std::optional<int> maxCount = std::nullopt);

// Without leading and trailing blanks: ASCII space and the full-width space
// A1 A1 (tab, CR and LF are no blanks). A lead byte that is the last byte of
// the text is dropped.
Text TextTrim(const Text& text);
// ASCII lower-case letters upper-cased; the byte after a lead byte is left alone.
Text TextUpper(const Text& text);
// The byte at position (left out: the first) as a signed 8-bit value, or 0.
int CharCode(const Text& text, std::optional<int> position = std::nullopt);

// --- Text forms ------------------------------------------------------------

Text ToText(int number);
// The bytes up to, not including, the first zero byte.
Text ToText(const ByteArray& bytes);
// A fixed-size byte field of a platform record (char or BYTE array): its bytes
// up to the first zero byte, all of them when none is zero.
Text ToTextFromField(const void* field, std::size_t size);
template <std::size_t N>
Text ToText(const char (&field)[N]) {
  return ToTextFromField(field, N);
}
template <std::size_t N>
Text ToText(const unsigned char (&field)[N]) {
  return ToTextFromField(field, N);
}
inline Text ToText(const Text& text) {
  return text;
}

ByteArray ToBytes(const Text& text);

// --- Byte operations -------------------------------------------------------

int BytesLength(const ByteArray& bytes);
ByteArray BytesMid(const ByteArray& bytes, int start, int n);
ByteArray BlankBytes(int n);
