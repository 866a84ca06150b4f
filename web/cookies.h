// Cookie lists and their merging. A cookie list is a Text of items joined by
// "; " (semicolon and blank); an item is normally name=value, an item without
// "=" is allowed. All comparisons are exact bytes: names that differ only in
// the case of a letter are different names.
#pragma once

#include "core/text.h"

// Folds the cookies a server has just set (`newCookies`) into the list that
// was sent (`oldCookies`): first the new items in their order, then the old
// items whose names the new list does not hold (of several old items with one
// name, the first); items ending in "=deleted" are dropped and an item
// repeated exactly is kept once. `oldCookies` receives the merged list, which
// is also returned.
Text MergeCookies(Text& oldCookies, const Text& newCookies);

// The bytes before the first "=" of an item, trimmed; the whole item trimmed
// when it has no "=".
Text CookieName(const Text& item);

// True when some item of `items` has exactly the cookie name `name`.
bool CookieListHasName(const TextArray& items, const Text& name);

// `text` split at `separator` with every repeated item removed (the first of
// each kept) and joined again with `separator`.
Text RemoveDuplicateItems(const Text& text, const Text& separator);

// The 1-based index of the first element of `items` equal to `value`, or -1.
int FindItem(const TextArray& items, const Text& value);
