// Tests of cookie merging and its item helpers.
#include "web/cookies.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MergeCookiesTest, NewItemsFirstThenOldOnesTheNewListLacks) {
  struct {
    const char* name;
    Text oldCookies, newCookies, expected;
  } cases[] = {
      {"replace and add", "a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
      {"deleted cookie replaces the old one and is dropped", "a=1; b=2", "a=deleted", "b=2"},
      {"empty new list keeps the old one", "a=1; b=2", "", "a=1; b=2"},
      {"old list ending in a lone semicolon", "a=1;", "", "a=1"},
      {"blanks around the lists trimmed", "  a=1; ", " b=2 ", "b=2; a=1"},
      {"exact repetition kept once", "", "a=1; a=1", "a=1"},
      {"same name with other values kept", "", "a=1; a=2", "a=1; a=2"},
      {"names differ by case", "A=1", "a=2", "a=2; A=1"},
      {"item without equals is its own name", "secure; a=1", "secure", "secure; a=1"},
      {"no blank after the semicolon makes one item", "a=1;b=2", "a=3", "a=3"},
      {"first of several old items with one name", "a=1; a=2; b=1", "", "a=1; b=1"},
      {"both empty", "", "", ""},
      {"only deleted cookies and no old list", "", "a=deleted; b=deleted", ""},
      {"deleted is case-sensitive", "", "a=DELETED", "a=DELETED"},
      {"an item of the bytes =deleted alone is deleted", "", "=deleted; x=1", "x=1"},
      {"old deleted item dropped too", "a=deleted; b=2", "c=3", "c=3; b=2"},
      {"names trimmed for the comparison", "a =1", "a=2", "a=2"},
      {"Chinese values", "名=旧", "名=新; 另=值", "名=新; 另=值"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Text oldCookies = c.oldCookies;
    EXPECT_EQ(MergeCookies(oldCookies, c.newCookies), c.expected);
    EXPECT_EQ(oldCookies, c.expected) << "the old list receives the merged one";
  }
}

TEST(MergeCookiesTest, SameVariableAsBothListsMergesWithItself) {
  Text cookies = "a=1; b=2";
  EXPECT_EQ(MergeCookies(cookies, cookies), "a=1; b=2");
  EXPECT_EQ(cookies, "a=1; b=2");
}

// A response header block of a megabyte can carry tens of thousands of
// Set-Cookie lines. The merge once compared every item with every other and
// took seconds for these in a release build; now it takes a blink, and a
// return to the quadratic way overruns the test time-out.
TEST(MergeCookiesTest, TensOfThousandsOfCookiesMergeInOnePass) {
  constexpr int kCount = 50000;
  std::string oldCookies, newCookies, expected;
  for (int i = 0; i < kCount; ++i) {
    const std::string separator = i == 0 ? "" : "; ";
    newCookies += separator + "n" + std::to_string(i) + "=1";
    oldCookies += separator + "n" + std::to_string(i % 7 == 0 ? i : -i) + "=old";
    // The new items, each twice: the repetition is dropped.
    newCookies += "; n" + std::to_string(i) + "=1";
  }
  // The new names once each, then the old items whose names are not new.
  for (int i = 0; i < kCount; ++i) {
    expected += (i == 0 ? "n" : "; n") + std::to_string(i) + "=1";
  }
  for (int i = 1; i < kCount; ++i) {
    if (i % 7 != 0) expected += "; n" + std::to_string(-i) + "=old";
  }
  Text merged = Text(oldCookies);
  // Not EXPECT_EQ: a failure would print megabytes.
  EXPECT_TRUE(MergeCookies(merged, Text(newCookies)) == Text(expected));
}

TEST(CookieNameTest, IsTheTrimmedTextBeforeTheFirstEquals) {
  struct {
    Text item, expected;
  } cases[] = {
      {"a=1", "a"}, {" a =1=2", "a"}, {"secure", "secure"}, {" secure ", "secure"},
      {"=1", ""},   {"", ""},         {"名=值", "名"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item.bytes());
    EXPECT_EQ(CookieName(c.item), c.expected);
  }
}

TEST(CookieListHasNameTest, ComparesCookieNamesExactly) {
  const TextArray items = {"a=1", " b =2", "secure"};
  EXPECT_TRUE(CookieListHasName(items, "a"));
  EXPECT_TRUE(CookieListHasName(items, "b"));
  EXPECT_TRUE(CookieListHasName(items, "secure"));
  EXPECT_FALSE(CookieListHasName(items, "A"));
  EXPECT_FALSE(CookieListHasName(items, "a=1"));
  EXPECT_FALSE(CookieListHasName(TextArray(), ""));
}

TEST(RemoveDuplicateItemsTest, KeepsTheFirstOfEachItem) {
  struct {
    Text text, separator, expected;
  } cases[] = {
      {"a; b; a; c; b", "; ", "a; b; c"},
      {"a,a,,b,", ",", "a,,b"},
      {"", "; ", ""},
      {"a; A", "; ", "a; A"},
      {"x", "; ", "x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.bytes());
    EXPECT_EQ(RemoveDuplicateItems(c.text, c.separator), c.expected);
  }
}

TEST(FindItemTest, GivesTheFirstEqualElementOrMinusOne) {
  const TextArray items = {"a", "b", "a"};
  EXPECT_EQ(FindItem(items, "a"), 1);
  EXPECT_EQ(FindItem(items, "b"), 2);
  EXPECT_EQ(FindItem(items, "A"), -1);
  EXPECT_EQ(FindItem(TextArray(), ""), -1);
}

}  // namespace
