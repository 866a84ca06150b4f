// Cookie merging: pure text work on cookie lists.
#include "web/cookies.h"

#include <string>
#include <unordered_set>

namespace {

inline constexpr const char* kCookieSeparator = "; ";

// Trimmed, and a last lone ";" given its blank so that the split at "; "
// cuts the item before it off cleanly.
Text PrepareList(const Text& list) {
  Text prepared = TextTrim(list);
  if (TextRight(prepared, 1) == ";") prepared += " ";
  return prepared;
}

// An item whose last eight bytes are exactly "=deleted"; a shorter item never is.
bool IsDeletedCookie(const Text& item) {
  return TextLength(item) >= 8 && TextRight(item, 8) == "=deleted";
}

}  // namespace

Text MergeCookies(Text& oldCookies, const Text& newCookies) {
  TextArray merged = TextSplit(PrepareList(newCookies), kCookieSeparator);
  // The names of `merged`, kept beside it: asking the list itself for each
  // old item made a merge quadratic (seconds for a block of 40 000 cookies).
  std::unordered_set<std::string> names;
  for (const Text& item : merged) names.insert(CookieName(item).bytes());
  for (const Text& item : TextSplit(PrepareList(oldCookies), kCookieSeparator)) {
    // The check sees the old items appended before this one.
    if (names.insert(CookieName(item).bytes()).second) merged.Append(item);
  }
  Text joined;
  for (const Text& item : merged) {
    if (!IsDeletedCookie(item)) joined += item + kCookieSeparator;
  }
  joined = TextLeft(joined, TextLength(joined) - 2);
  Text result = RemoveDuplicateItems(joined, kCookieSeparator);
  oldCookies = result;
  return result;
}

Text CookieName(const Text& item) {
  const int equals = TextFind(item, "=");
  if (equals == -1) return TextTrim(item);
  return TextTrim(TextLeft(item, equals - 1));
}

bool CookieListHasName(const TextArray& items, const Text& name) {
  for (const Text& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

Text RemoveDuplicateItems(const Text& text, const Text& separator) {
  // A set, not FindItem over the items seen: that made it quadratic.
  std::unordered_set<std::string> seen;
  Text output;
  for (const Text& item : TextSplit(text, separator)) {
    if (seen.insert(item.bytes()).second) output += item + separator;
  }
  return TextLeft(output, TextLength(output) - TextLength(separator));
}

int FindItem(const TextArray& items, const Text& value) {
  for (int index = 1; index <= items.Count(); ++index) {
    if (items[index] == value) return index;
  }
  return -1;
}
