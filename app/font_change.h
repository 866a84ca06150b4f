// The logic of SetFont, free of the platform: a font as the fields SetFont can
// change, how one change applies to the control's current font, and the
// height rule for edit boxes. The Win32 window reads the current font into a
// FontFields, applies the change here and builds the new font from the result.
#pragma once

#include "app/view.h"
#include "core/text.h"

// The fields of a logical font that SetFont works on (LOGFONT's meaning).
struct FontFields {
  int height = 0;  // negative: character height in pixels; positive: cell height
  int angle = 0;   // tenths of a degree, escapement and orientation alike
  int weight = 0;  // 0 is the default weight
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  Text face;
  friend bool operator==(const FontFields&, const FontFields&) = default;
};

inline constexpr int kBoldWeight = 700;
inline constexpr int kDefaultWeight = 0;
// The face used when a face name is empty or does not fit a font's face field.
inline constexpr const char* kFallbackFace = "宋体";
// A face name of this many bytes or more does not fit (LOGFONT holds 32
// characters with the terminating zero).
inline constexpr int kFaceLimitBytes = 32;

// The angle reduced to 0..3599: the remainder of division by 3600, plus 3600
// when negative.
int ReducedAngle(int tenthsOfDegree);

// The character height of a size in points on a screen of dpiY pixels per
// inch: -(|points| × dpiY ÷ 72), rounded to the nearest pixel (halves away
// from zero). A negative size counts as its absolute value.
int HeightForPointSize(int points, int dpiY);

// The face name itself, or 宋体 when it is empty or 32 bytes or more.
Text FaceOrFallback(const Text& face);

// The current font with one field changed; the other fields stay.
FontFields ApplyFontChange(const FontFields& current, const FontChange& change, int dpiY);

// The height an edit box must have after a font change: its current height,
// or, when that is less, the height of "吴" in the new font plus twice the
// system's edge width.
int EditBoxHeightForFont(int currentHeight, int characterHeight, int edgeWidth);
