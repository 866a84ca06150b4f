// The logic of SetFont: each field applied to the current font, the angle
// reduction, the size rounding, the face rule and the edit-box height rule.
#include "app/font_change.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

FontFields SomeFont() {
  FontFields font;
  font.height = -12;
  font.angle = 0;
  font.weight = 400;
  font.face = "Tahoma";
  return font;
}

TEST(FontChange, EachFieldChangesOnlyItself) {
  const FontFields base = SomeFont();
  const struct {
    const char* label;
    FontChange change;
    FontFields expected;
  } cases[] = {
      {"angle", FontChange::Angle(900), {-12, 900, 400, false, false, false, "Tahoma"}},
      {"bold on", FontChange::Bold(true), {-12, 0, 700, false, false, false, "Tahoma"}},
      {"bold off", FontChange::Bold(false), {-12, 0, 0, false, false, false, "Tahoma"}},
      {"italic", FontChange::Italic(true), {-12, 0, 400, true, false, false, "Tahoma"}},
      {"underline", FontChange::Underline(true), {-12, 0, 400, false, true, false, "Tahoma"}},
      {"strikeout", FontChange::Strikeout(true), {-12, 0, 400, false, false, true, "Tahoma"}},
      {"size", FontChange::Size(15), {-20, 0, 400, false, false, false, "Tahoma"}},
      {"face", FontChange::Face("黑体"), {-12, 0, 400, false, false, false, "黑体"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(ApplyFontChange(base, c.change, 96), c.expected);
  }
}

TEST(FontChange, FlagsTurnOffAgain) {
  FontFields font = SomeFont();
  font.italic = font.underline = font.strikeout = true;
  font.weight = kBoldWeight;
  font = ApplyFontChange(font, FontChange::Italic(false), 96);
  font = ApplyFontChange(font, FontChange::Underline(false), 96);
  font = ApplyFontChange(font, FontChange::Strikeout(false), 96);
  font = ApplyFontChange(font, FontChange::Bold(false), 96);
  EXPECT_FALSE(font.italic);
  EXPECT_FALSE(font.underline);
  EXPECT_FALSE(font.strikeout);
  EXPECT_EQ(font.weight, kDefaultWeight);
}

// The network-time readout sets size 15 and face 黑体 on 标签8 at every tick:
// the result is a 15-point 黑体 that is not bold, whatever came before.
TEST(FontChange, SuccessiveCallsBuildOnTheCurrentFont) {
  FontFields font = SomeFont();
  for (int tick = 0; tick < 3; ++tick) {
    font = ApplyFontChange(font, FontChange::Size(15), 96);
    font = ApplyFontChange(font, FontChange::Face("黑体"), 96);
  }
  EXPECT_EQ(font, (FontFields{-20, 0, 400, false, false, false, "黑体"}));

  font = ApplyFontChange(font, FontChange::Bold(true), 96);
  font = ApplyFontChange(font, FontChange::Size(9), 96);
  EXPECT_EQ(font.weight, kBoldWeight) << "size alone keeps boldness";
  EXPECT_EQ(font.face, Text("黑体")) << "size alone keeps the face";
}

TEST(FontChange, AngleIsReducedTo0Through3599) {
  const struct {
    int angle;
    int expected;
  } cases[] = {
      {0, 0},     {900, 900},   {3599, 3599}, {3600, 0},     {3601, 1},      {7300, 100},
      {-1, 3599}, {-900, 2700}, {-3600, 0},   {-3601, 3599}, {INT_MAX, 847}, {INT_MIN, 2752},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.angle));
    EXPECT_EQ(ReducedAngle(c.angle), c.expected);
    EXPECT_EQ(ApplyFontChange(SomeFont(), FontChange::Angle(c.angle), 96).angle, c.expected);
  }
}

TEST(FontChange, SizeBecomesNegativeHeightRoundedToTheNearestPixel) {
  const struct {
    int points;
    int dpiY;
    int expected;
  } cases[] = {
      {9, 96, -12},                             // exactly 12
      {15, 96, -20},                            // exactly 20
      {11, 96, -15},                            // 14.67
      {10, 96, -13},                            // 13.33
      {3, 108, -5},                             // 4.5: a half rounds away from zero
      {1, 96, -1},                              // 1.33
      {0, 96, 0},                               // height 0: the font mapper's default size
      {9, 120, -15},                            // 15
      {9, 144, -18},                            // 18
      {-15, 96, -20},                           // a negative size counts as its absolute value
      {-11, 96, -15}, {INT_MIN, 96, -INT_MAX},  // absurd sizes stay in range
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.points) + "pt at " + std::to_string(c.dpiY) + " dpi");
    EXPECT_EQ(HeightForPointSize(c.points, c.dpiY), c.expected);
    EXPECT_EQ(ApplyFontChange(SomeFont(), FontChange::Size(c.points), c.dpiY).height, c.expected);
  }
}

TEST(FontChange, EmptyOrOverlongFaceBecomesSongTi) {
  const std::string thirtyOne(31, 'a');
  const std::string thirtyTwo(32, 'a');
  // 16 double-byte characters are 32 bytes, though only 16 characters.
  const std::string sixteenChinese = [] {
    std::string s;
    for (int i = 0; i < 16; ++i) s += "黑";
    return s;
  }();
  const struct {
    const char* label;
    Text face;
    Text expected;
  } cases[] = {
      {"empty", "", "宋体"},           {"31 bytes", thirtyOne, thirtyOne},
      {"32 bytes", thirtyTwo, "宋体"}, {"16 double-byte characters", sixteenChinese, "宋体"},
      {"ordinary", "黑体", "黑体"},    {"Latin", "Arial", "Arial"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(FaceOrFallback(c.face), c.expected);
    EXPECT_EQ(ApplyFontChange(SomeFont(), FontChange::Face(c.face), 96).face, c.expected);
  }
}

TEST(FontChange, ValueOfTheWrongKindChangesNothing) {
  const FontFields base = SomeFont();
  const FontChange wrong[] = {
      {FontChange::Field::size, true},
      {FontChange::Field::bold, 5},
      {FontChange::Field::face, 7},
      {FontChange::Field::angle, Text("x")},
  };
  for (const FontChange& change : wrong) {
    SCOPED_TRACE(static_cast<int>(change.field));
    EXPECT_EQ(ApplyFontChange(base, change, 96), base);
  }
}

TEST(EditBoxHeight, GrowsOnlyWhenTheCharacterDoesNotFit) {
  const struct {
    int current;
    int characterHeight;
    int edgeWidth;
    int expected;
  } cases[] = {
      {32, 20, 2, 32},                   // 24 needed: stays
      {32, 28, 2, 32},                   // exactly fits
      {32, 29, 2, 33},                   // grows by one
      {32, 40, 2, 44}, {32, 28, 3, 34},  // the edge width counts twice
      {50, 20, 2, 50},                   // never shrinks
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.current) + " " + std::to_string(c.characterHeight));
    EXPECT_EQ(EditBoxHeightForFont(c.current, c.characterHeight, c.edgeWidth), c.expected);
  }
}

}  // namespace
