// Tests of the header and text extraction helpers and of Base64.
#include "web/header_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A GBK character whose second byte is "]" (0x81 0x5D): a marker "]" must
// never match inside it.
const std::string kCharEndingInBracket = "\x81\x5D";

TEST(TextBetweenTest, CutsBetweenMarkers) {
  struct {
    const char* name;
    Text text, left, right;
    int start;
    bool caseInsensitive;
    Text expected;
  } cases[] = {
      {"first pair", "a[b]c[d]", "[", "]", 0, false, "b"},
      {"from start 3", "a[b]c[d]", "[", "]", 3, false, "d"},
      {"start 1 and below read as the first byte", "a[b]c[d]", "[", "]", -7, false, "b"},
      {"no right marker after the left one", "]a[b", "[", "]", 0, false, ""},
      {"right marker right after the left one", "a[]b]", "[", "]", 0, false, ""},
      {"no left marker", "abc]", "[", "]", 0, false, ""},
      {"right marker overlapping the left one does not count", "x<a>b>", "<a>", "a>", 0, false, ""},
      {"markers of several bytes", "Date: Tue, 1 Oct\r\nServer: x", "Date:", "\r\n", 0, false,
       " Tue, 1 Oct"},
      {"case kept without caseInsensitive", "date: x\r\n", "Date:", "\r\n", 0, false, ""},
      {"case folded with caseInsensitive", "date: x\r\n", "Date:", "\r\n", 0, true, " x"},
      {"quote marker as both markers", "say \"hi\" and \"bye\"", "#引号", "#引号", 0, false, "hi"},
      {"quote marker inside a longer marker", "{\"cip\": \"1.2.3.4\", \"cid\"}", "\"cip\": #引号",
       "#引号", 0, false, "1.2.3.4"},
      {"marker byte inside a double-byte character is skipped",
       Text("[a" + kCharEndingInBracket + "]b"), "[", "]", 0, false,
       Text("a" + kCharEndingInBracket)},
      {"Chinese markers", "北京时间：12时\r\n", "北京时间：", "时", 0, false, "12"},
      {"empty text", "", "[", "]", 0, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.caseInsensitive), c.expected);
  }
}

TEST(TextBetweenTest, OmittedStartAndCaseSearchFromTheFirstByteWithCase) {
  EXPECT_EQ(TextBetween("a[b]c[d]", "[", "]"), "b");
  EXPECT_EQ(TextBetween("date: x\r\n", "Date:", "\r\n"), "");
}

TEST(TextBeforeTest, GivesTheTextFromItsFirstByteUpToTheMarker) {
  struct {
    const char* name;
    Text text, marker;
    int start;
    bool caseInsensitive;
    Text expected;
  } cases[] = {
      {"response line", "Set-Cookie: a=1; path=/", ": ", 0, false, "Set-Cookie"},
      {"from the first byte, not from start", "a:b:c", ":", 3, false, "a:b"},
      {"negative start is the first byte", "a:b:c", ":", -3, false, "a"},
      {"no marker", "abc", ":", 0, false, ""},
      {"no marker at or after start", "a:bc", ":", 3, false, ""},
      {"marker at the first byte", ":abc", ":", 0, false, ""},
      {"case kept", "aXb", "x", 0, false, ""},
      {"case folded", "aXb", "x", 0, true, "a"},
      {"marker byte inside a double-byte character is skipped",
       Text("a" + kCharEndingInBracket + "]"), "]", 0, false, Text("a" + kCharEndingInBracket)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBefore(c.text, c.marker, c.start, c.caseInsensitive), c.expected);
  }
}

TEST(HeaderLineTest, SplitsAtTheFirstColonAndTrims) {
  struct {
    Text line, name, value;
  } cases[] = {
      {" Accept :  */* ", "Accept", "*/*"},
      {"Time: 12:30", "Time", "12:30"},
      {"no colon here", "", ""},
      {"", "", ""},
      {":value", "", "value"},
      {"Name:", "Name", ""},
      {"\xA1\xA1Name\xA1\xA1:\xA1\xA1值 ", "Name", "值"},  // full-width blanks
      {"Name:\tx\t", "Name", "\tx\t"},                     // a tab is not a blank
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line.bytes());
    EXPECT_EQ(HeaderLineName(c.line), c.name);
    EXPECT_EQ(HeaderLineValue(c.line), c.value);
  }
}

TEST(CapitalizeFirstTest, UpperCasesOnlyAFirstLowerCaseLetter) {
  struct {
    Text text, expected;
  } cases[] = {
      {"accept", "Accept"}, {"1a", "1a"},   {"", ""},     {"Accept", "Accept"},
      {"a", "A"},           {"中a", "中a"}, {"-x", "-x"}, {"zZ", "ZZ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.bytes());
    EXPECT_EQ(CapitalizeFirst(c.text), c.expected);
  }
}

TEST(NormalizeHeaderBlockTest, CapitalisesNamesAndDropsLinesWithoutColon) {
  struct {
    const char* name;
    Text block, expected;
  } cases[] = {
      {"mixed block", "\r\naccept: */*\r\nx-requested-with: ab\r\n\r\nnocolon\r\nuser-agent : x",
       "Accept: */*\r\nX-Requested-With: ab\r\nUser-Agent : x"},
      {"no letter is lowered", "aCCEPT: x\r\ncontent-TYPE: x", "ACCEPT: x\r\nContent-TYPE: x"},
      {"runs of dashes", "a--b: 1", "A--B: 1"},
      {"dash at the ends of the name", "-a-: 1", "-A-: 1"},
      {"the rest of the line kept byte for byte", "cookie:  a=b; c-d=e  ", "Cookie:  a=b; c-d=e  "},
      {"empty name kept", ": x", ": x"},
      {"final line break dropped", "accept: x\r\n", "Accept: x"},
      {"nothing kept", "\r\nno colon\r\n\r\n", ""},
      {"empty block", "", ""},
      {"Chinese value", "x-name: 值", "X-Name: 值"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NormalizeHeaderBlock(c.block), c.expected);
  }
}

ByteArray BytesOf(const std::string& bytes) {
  return ByteArray(bytes.begin(), bytes.end());
}

TEST(Base64EncodeTest, MatchesTheRfc4648TestVectors) {
  struct {
    std::string input;
    Text expected;
  } cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(Base64Encode(BytesOf(c.input)), c.expected);
  }
}

TEST(Base64EncodeTest, EncodesZeroAndHighBytesWithTheWholeAlphabet) {
  EXPECT_EQ(Base64Encode(ByteArray{0x00, 0xFF, 0xFE}), "AP/+");
  EXPECT_EQ(Base64Encode(ByteArray{0x00}), "AA==");
  EXPECT_EQ(Base64Encode(ByteArray{0xFB, 0xEF}), "++8=");
  // user:password of a proxy, in GBK.
  EXPECT_EQ(Base64Encode(BytesOf(std::string("用户:pw"))), "08O7pzpwdw==");
}

TEST(Base64EncodeTest, LengthIsFourForEveryThreeBytesStarted) {
  for (int n = 0; n <= 10; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(TextLength(Base64Encode(ByteArray(static_cast<std::size_t>(n), 0x41))),
              (n + 2) / 3 * 4);
  }
}

}  // namespace
