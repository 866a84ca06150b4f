// The text, byte and array primitives: positions, clamping, optional arguments
// and the stepping over double-byte characters, with real GBK texts.
//
// Characters used for the stepping rules (GBK bytes; the second byte of each
// double-byte character equals an ASCII byte the cases look for):
//   中 D6 D0, 文 CE C4, 啊 B0 A1, full-width space 　 A1 A1,
//   俠 82 62 (second byte "b"), 產 AE 61 ("a"), 儀 83 78 ("x"), 嶺 8E 58 ("X").
#include "core/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "tests/core/printers.h"

namespace {

using testing::PrintToString;

Text Bytes(std::string_view bytes) {
  return Text(bytes);
}

TEST(TextCharacters, SourceLiteralsAreGbkBytes) {
  // Every other case relies on these byte values.
  EXPECT_EQ(Text("中文"), Bytes("\xD6\xD0\xCE\xC4"));
  EXPECT_EQ(Text("　"), Bytes("\xA1\xA1"));
  EXPECT_EQ(Text("啊"), Bytes("\xB0\xA1"));
  EXPECT_EQ(TextRight("俠", 1), Text("b"));
  EXPECT_EQ(TextRight("產", 1), Text("a"));
  EXPECT_EQ(TextRight("儀", 1), Text("x"));
  EXPECT_EQ(TextRight("嶺", 1), Text("X"));
}

TEST(TextValue, KeepsTheBytesBeforeTheFirstZeroByte) {
  EXPECT_EQ(Text(std::string_view("A\0B", 3)).bytes(), "A");
  EXPECT_EQ(Text(std::string("A\0B", 3)).bytes(), "A");
  const std::string withZero("\0B", 2);
  EXPECT_TRUE(Text(withZero).empty());
  EXPECT_TRUE(Text(static_cast<const char*>(nullptr)).empty());
  EXPECT_EQ(Text("北京") + "时间", Text("北京时间"));
}

TEST(TextArrayIndex, RunsFromOneToTheCount) {
  TextArray array{"a", "中"};
  array.Append("c");
  ASSERT_EQ(array.Count(), 3);
  EXPECT_EQ(array[1], Text("a"));
  EXPECT_EQ(array[2], Text("中"));
  EXPECT_EQ(array[3], Text("c"));
  array[2] = "b";
  EXPECT_EQ(array, (TextArray{"a", "b", "c"}));
}

TEST(TextLengthAndCuts, CountPlainBytes) {
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("中文a"), 5);

  struct {
    Text text;
    int n;
    Text left;
    Text right;
  } cases[] = {
      {"abc", -1, "", ""},
      {"abc", 0, "", ""},
      {"abc", 2, "ab", "bc"},
      {"abc", 3, "abc", "abc"},
      {"abc", 5, "abc", "abc"},
      {"", 2, "", ""},
      {"中文", 1, Bytes("\xD6"), Bytes("\xC4")},  // cuts a character in two
      {"abc", INT_MAX, "abc", "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " n=" + std::to_string(c.n));
    EXPECT_EQ(TextLeft(c.text, c.n), c.left);
    EXPECT_EQ(TextRight(c.text, c.n), c.right);
  }
}

TEST(TextMid, TakesUpToNBytesFromAOneBasedStart) {
  struct {
    Text text;
    int start;
    int n;
    Text expected;
  } cases[] = {
      {"abc", 3, 5, "c"},  {"abc", 4, 1, ""},
      {"abc", 1, 2, "ab"}, {"abc", 0, 2, ""},
      {"abc", -1, 2, ""},  {"abc", 2, 0, ""},
      {"abc", 2, -3, ""},  {"abc", 2, INT_MAX, "bc"},
      {"", 1, 1, ""},      {"中文", 2, 2, Bytes("\xD0\xCE")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " start=" + std::to_string(c.start) +
                 " n=" + std::to_string(c.n));
    EXPECT_EQ(TextMid(c.text, c.start, c.n), c.expected);
  }
}

TEST(TextFind, FindsTheFirstOccurrenceAtOrAfterStart) {
  struct {
    Text text;
    Text sought;
    std::optional<int> start;
    bool caseInsensitive;
    int expected;
  } cases[] = {
      {"ab", "b", std::nullopt, false, 2},
      {"ab", "b", 3, false, -1},
      {"ab", "b", 0, false, 2},
      {"ab", "b", -7, false, 2},
      {"ab", "b", INT_MIN, false, 2},
      {"ab", "b", INT_MAX, false, -1},
      {"abcabc", "bc", 3, false, 5},
      {"abc", "bc", std::nullopt, false, 2},
      {"abc", "abcd", std::nullopt, false, -1},
      {"", "a", std::nullopt, false, -1},
      // The empty text sought: 1 for a non-empty region, whatever the start.
      {"abc", "", std::nullopt, false, 1},
      {"abc", "", 3, false, 1},
      {"abc", "", 4, false, -1},
      {"", "", std::nullopt, false, -1},
      // Case folds only when asked.
      {"Host: a\r\nAccept: */*\r\n", "ACCEPT:", std::nullopt, true, 10},
      {"Host: a\r\nAccept: */*\r\n", "ACCEPT:", std::nullopt, false, -1},
      {"Host: a\r\nACCEPT: */*\r\n", "ACCEPT:", std::nullopt, false, 10},
      {"a[b", "[", std::nullopt, true, 2},  // "[" and "{" are no letters
      {"a{b", "[", std::nullopt, true, -1},
      // Overlapping candidates: the first full match wins.
      {"aaab", "aab", std::nullopt, false, 2},
      {"abababc", "ababc", std::nullopt, false, 3},
      // Chinese texts.
      {"北京时间：2019", "时间", std::nullopt, false, 5},
      {"北京时间：2019", "2019", std::nullopt, false, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " sought " + PrintToString(c.sought) + " start " +
                 (c.start ? std::to_string(*c.start) : "left out") +
                 (c.caseInsensitive ? " folding case" : ""));
    EXPECT_EQ(TextFind(c.text, c.sought, c.start, c.caseInsensitive), c.expected);
  }
}

TEST(TextFind, NeverMatchesFromTheSecondByteOfACharacter) {
  struct {
    Text text;
    Text sought;
    std::optional<int> start;
    int expected;
  } cases[] = {
      // The second byte of 俠 is "b": the walk steps over it.
      {"俠b", "b", std::nullopt, 3},
      {"俠", "b", std::nullopt, -1},
      {"俠俠", Bytes("b\x82"), std::nullopt, -1},
      // A walk that begins at the second byte takes it as a character.
      {"俠", "b", 2, 2},
      // Boundaries are counted from where the walk begins: from byte 2 the
      // walk reads D0CE, C4D6, D0CE and never sees 中 (D6 D0) at a boundary.
      {"中文中文", "中", 2, -1},
      {"中文中文", "中", 3, 5},
      {"中文中文", "文", std::nullopt, 3},
      // 文中 (CE C4 D6 D0) lies across the character boundary in 中文中.
      {"中文中", Bytes("\xD0\xCE"), std::nullopt, -1},
      // A lead byte that is the last byte ends the walk.
      {Bytes("ab\xD6"), Bytes("\xD6"), std::nullopt, -1},
      {Bytes("ab\xD6"), "b", std::nullopt, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " sought " + PrintToString(c.sought) + " start " +
                 (c.start ? std::to_string(*c.start) : "left out"));
    EXPECT_EQ(TextFind(c.text, c.sought, c.start), c.expected);
  }
}

TEST(TextFind, FoldsTheSecondByteOfACharacterToo) {
  // Case folding runs byte by byte over the whole sought text: 俠 (82 62)
  // matches the bytes 82 42 when folding.
  const Text folded = Bytes("a\x82\x42");
  EXPECT_EQ(TextFind(folded, "俠", std::nullopt, true), 2);
  EXPECT_EQ(TextFind(folded, "俠"), -1);
  EXPECT_EQ(TextFind("產",
                     Bytes("\xAE"
                           "A"),
                     std::nullopt, true),
            1);
}

TEST(TextFindLast, FindsTheLastOccurrenceEndingBeforeStart) {
  const Text lines = "a\r\nb\r\n";
  struct {
    Text text;
    Text sought;
    std::optional<int> start;
    bool caseInsensitive;
    int expected;
  } cases[] = {
      {lines, "\r\n", std::nullopt, false, 5},
      {lines, "\r\n", 5, false, 2},
      {lines, "\r\n", 6, false, 2},  // the occurrence at 5 does not end before 6
      {lines, "\r\n", 7, false, 5},
      {lines, "\r\n", 100, false, 5},
      {lines, "\r\n", 4, false, 2},
      {lines, "\r\n", 3, false, -1},
      {lines, "\r\n", 1, false, -1},
      {lines, "\r\n", 0, false, -1},
      {lines, "\r\n", -5, false, -1},
      {"aaa", "aa", std::nullopt, false, 2},  // occurrences may overlap
      {"xaX", "x", std::nullopt, false, 1},
      {"xaX", "x", std::nullopt, true, 3},
      {"abc", "", std::nullopt, false, 1},
      {"abc", "", 2, false, 1},
      {"abc", "", 1, false, -1},
      {"", "", std::nullopt, false, -1},
      {"", "a", std::nullopt, false, -1},
      {"俠b", "b", std::nullopt, false, 3},
      {"俠", "b", std::nullopt, false, -1},
      {"北京时间北京", "北京", std::nullopt, false, 9},
      {"北京时间北京", "北京", 10, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " sought " + PrintToString(c.sought) + " start " +
                 (c.start ? std::to_string(*c.start) : "left out") +
                 (c.caseInsensitive ? " folding case" : ""));
    EXPECT_EQ(TextFindLast(c.text, c.sought, c.start, c.caseInsensitive), c.expected);
  }
}

TEST(TextSubstitute, ReplacesOccurrencesFromStartUpToCount) {
  struct {
    Text text;
    Text sought;
    Text replacement;
    int start;
    std::optional<int> count;
    bool caseSensitive;
    Text expected;
  } cases[] = {
      {"axbx", "x", "", 1, std::nullopt, false, "ab"},
      {"axbx", "x", "", 1, 1, false, "abx"},
      {"axbx", "x", "", 3, std::nullopt, false, "axb"},
      {"axbx", "X", "", 1, std::nullopt, true, "axbx"},
      {"axbx", "X", "", 1, std::nullopt, false, "ab"},
      {"axbx", "x", "", 1, 0, false, "axbx"},
      {"axbx", "x", "", 1, -1, false, "ab"},
      {"axbx", "x", "", 0, std::nullopt, false, "ab"},
      {"axbx", "x", "", -4, std::nullopt, false, "ab"},
      {"axbx", "x", "", 5, std::nullopt, false, "axbx"},
      {"axbx", "x", "", INT_MAX, std::nullopt, false, "axbx"},
      {"axbx", "", "y", 1, std::nullopt, false, "axbx"},
      {"", "x", "y", 1, std::nullopt, false, ""},
      {"a,b,c", ",", ", ", 1, std::nullopt, false, "a, b, c"},
      {"aaa", "aa", "b", 1, std::nullopt, false, "ba"},  // never overlapping
      {"abc", "cd", "", 1, std::nullopt, false, "abc"},
      {"北京时间：12", "时间", "", 1, std::nullopt, false, "北京：12"},
      {"中x文", "x", "", 1, std::nullopt, false, "中文"},
      // 儀 ends in "x", 嶺 in "X": neither is touched.
      {"儀x嶺X", "x", "-", 1, std::nullopt, false, "儀-嶺-"},
      {"儀x嶺X", "x", "-", 1, std::nullopt, true, "儀-嶺X"},
      // A lead byte that is the last byte of the text is dropped.
      {Bytes("ab\xD6"), "x", "", 1, std::nullopt, false, "ab"},
      {Bytes("ab\xD6"), "b", "c", 1, std::nullopt, false, "ac"},
      {Bytes("xax\xD6"), "x", "", 1, 1, false, "ax"},
      {Bytes("ab\xD6"), "bc", "", 1, std::nullopt, false, "ab"},
      // ... but not the second byte of a whole character.
      {"a中", "x", "", 1, std::nullopt, false, "a中"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " sought " + PrintToString(c.sought) + " by " +
                 PrintToString(c.replacement) + " start " + std::to_string(c.start) + " count " +
                 (c.count ? std::to_string(*c.count) : "left out") +
                 (c.caseSensitive ? " case-sensitive" : ""));
    EXPECT_EQ(TextSubstitute(c.text, c.sought, c.replacement, c.start, c.count, c.caseSensitive),
              c.expected);
  }
}

TEST(TextSubstitute, LeftOutArgumentsReplaceAllByNothingWithoutRegardToCase) {
  EXPECT_EQ(TextSubstitute("aXbx", "x"), Text("ab"));
  EXPECT_EQ(TextSubstitute("aXbx", "x", "y"), Text("ayby"));
}

TEST(TextSplit, CutsAtEveryDelimiterAndDropsAnEmptyLastPiece) {
  struct {
    Text text;
    std::optional<Text> delimiter;  // left out: ","
    std::optional<int> maxCount;
    TextArray expected;
  } cases[] = {
      {"", std::nullopt, std::nullopt, {}},
      {"a,,b", std::nullopt, std::nullopt, {"a", "", "b"}},
      {",a", std::nullopt, std::nullopt, {"", "a"}},
      {"a,", std::nullopt, std::nullopt, {"a"}},
      {",", std::nullopt, std::nullopt, {""}},
      {",,", std::nullopt, std::nullopt, {"", ""}},
      {"abc", std::nullopt, std::nullopt, {"abc"}},
      {"a\r\n\r\nb\r\n", "\r\n", std::nullopt, {"a", "", "b"}},
      {"a; b; c", "; ", std::nullopt, {"a", "b", "c"}},
      {"a,b", "", std::nullopt, {"a,b"}},
      {"a,b,c", std::nullopt, 2, {"a", "b"}},
      {"a,b,c", std::nullopt, 1, {"a"}},
      {"a,b,", std::nullopt, 2, {"a", "b"}},
      {"a,b", std::nullopt, 3, {"a", "b"}},
      {"a,b", std::nullopt, 0, {}},
      {"a,b", std::nullopt, -1, {}},
      {"a,b", "", 0, {}},
      {"aB", "b", std::nullopt, {"aB"}},  // exact bytes only
      // The second byte of 俠 is "b", but no delimiter.
      {"俠b", "b", std::nullopt, {"俠"}},
      {"北京，上海，", "，", std::nullopt, {"北京", "上海"}},
      {Bytes("a,\xD6"), std::nullopt, std::nullopt, {"a", Bytes("\xD6")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " at " +
                 (c.delimiter ? PrintToString(*c.delimiter) : "left out") + " max " +
                 (c.maxCount ? std::to_string(*c.maxCount) : "left out"));
    // The delimiter can only be left out together with maxCount.
    const TextArray pieces = (c.delimiter || c.maxCount)
                                 ? TextSplit(c.text, c.delimiter.value_or(","), c.maxCount)
                                 : TextSplit(c.text);
    EXPECT_EQ(pieces, c.expected) << PrintToString(pieces);
  }
}

TEST(TextTrim, CutsSpacesAndFullWidthSpacesAtBothEnds) {
  struct {
    Text text;
    Text expected;
  } cases[] = {
      {"　a b \t", "a b \t"},  // the tab is no blank, so the space before it stays
      {"  ", ""},
      {"", ""},
      {"　中文　", "中文"},
      {" 　 a 　 ", "a"},
      {"\r\na\r\n", "\r\na\r\n"},
      {" \ta\t ", "\ta\t"},
      {"a  b", "a  b"},
      // 啊 is B0 A1: the A1 A1 straddling it and the full-width space is no blank.
      {"啊　", "啊"},
      {"　啊", "啊"},
      {"啊", "啊"},
      // A lead byte that is the last byte is dropped.
      {Bytes("a \xD6"), "a"},
      {Bytes("\xA1\xA1\xA1"), ""},
      {Bytes("\xD6"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text));
    EXPECT_EQ(TextTrim(c.text), c.expected);
  }
}

TEST(TextUpper, UpperCasesAsciiLettersOnly) {
  struct {
    Text text;
    Text expected;
  } cases[] = {
      {"ab中c", "AB中C"}, {"俠b", "俠B"},  // the "b" inside 俠 stays
      {"產a", "產A"},     {"Hello, World! 1z", "HELLO, WORLD! 1Z"},
      {"", ""},           {Bytes("a\xD6"), Bytes("A\xD6")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text));
    EXPECT_EQ(TextUpper(c.text), c.expected);
  }
}

TEST(CharCode, GivesTheByteAtPositionAsASignedValue) {
  struct {
    Text text;
    std::optional<int> position;
    int expected;
  } cases[] = {
      {"=", std::nullopt, 61}, {"", std::nullopt, 0}, {"中", std::nullopt, -42},  // D6
      {"中", 2, -48},                                                             // D0
      {"ab", 2, 98},           {"ab", 3, 0},          {"ab", 0, 0},
      {"ab", -1, 0},           {"ab", 1, 97},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.text) + " at " +
                 (c.position ? std::to_string(*c.position) : "left out"));
    EXPECT_EQ(CharCode(c.text, c.position), c.expected);
  }
}

TEST(ToTextForms, WriteNumbersAndBytes) {
  EXPECT_EQ(ToText(0), Text("0"));
  EXPECT_EQ(ToText(-5), Text("-5"));
  EXPECT_EQ(ToText(1234567), Text("1234567"));
  EXPECT_EQ(ToText(INT_MIN), Text("-2147483648"));
  EXPECT_EQ(ToText(INT_MAX), Text("2147483647"));

  EXPECT_EQ(ToText(ByteArray{0x41, 0x00, 0x42}), Text("A"));
  EXPECT_EQ(ToText(ByteArray{0x41, 0x42}), Text("AB"));
  EXPECT_EQ(ToText(ByteArray{0x00, 0x42}), Text(""));
  EXPECT_EQ(ToText(ByteArray{}), Text(""));
  EXPECT_EQ(ToText(Text("中")), Text("中"));

  // Fixed-size byte fields of platform records.
  const char adapterName[8] = "eth0";
  EXPECT_EQ(ToText(adapterName), Text("eth0"));
  const unsigned char full[3] = {'a', 'b', 'c'};  // no zero byte at all
  EXPECT_EQ(ToText(full), Text("abc"));
  EXPECT_EQ(ToTextFromField(full, 2), Text("ab"));
}

TEST(ByteOperations, CountAndCutPlainBytes) {
  EXPECT_EQ(ToBytes("中a"), (ByteArray{0xD6, 0xD0, 'a'}));
  EXPECT_EQ(ToBytes(""), ByteArray{});
  EXPECT_EQ(BytesLength(ByteArray{0, 0, 1}), 3);
  EXPECT_EQ(BytesLength(ByteArray{}), 0);
  EXPECT_EQ(BlankBytes(3), (ByteArray{0, 0, 0}));
  EXPECT_EQ(BlankBytes(0), ByteArray{});
  EXPECT_EQ(BlankBytes(-2), ByteArray{});

  const ByteArray bytes{1, 0, 3};
  struct {
    int start;
    int n;
    ByteArray expected;
  } cases[] = {
      {1, 3, {1, 0, 3}}, {2, 5, {0, 3}},    {0, 2, {1, 0}},   {-5, 1, {1}},
      {3, 1, {3}},       {4, 1, {}},        {10, 1, {}},      {2, -1, {}},
      {2, 0, {}},        {INT_MIN, 1, {1}}, {INT_MAX, 1, {}}, {1, INT_MAX, {1, 0, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("start " + std::to_string(c.start) + " n " + std::to_string(c.n));
    EXPECT_EQ(BytesMid(bytes, c.start, c.n), c.expected);
  }
  EXPECT_EQ(BytesMid(ByteArray{}, 1, 1), ByteArray{});
}

}  // namespace
