// The logic of SetFont; see font_change.h.
#include "app/font_change.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

int ReducedAngle(int tenthsOfDegree) {
  const int remainder = tenthsOfDegree % 3600;
  return remainder < 0 ? remainder + 3600 : remainder;
}

int HeightForPointSize(int points, int dpiY) {
  // 64-bit, so that no int size overflows on the way; the result is clamped
  // back into int for absurd sizes.
  const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(points));
  const std::int64_t pixels = (magnitude * dpiY + 36) / 72;
  const std::int64_t limit = std::numeric_limits<int>::max();
  return -static_cast<int>(pixels < limit ? pixels : limit);
}

Text FaceOrFallback(const Text& face) {
  if (face.empty() || TextLength(face) >= kFaceLimitBytes) return kFallbackFace;
  return face;
}

FontFields ApplyFontChange(const FontFields& current, const FontChange& change, int dpiY) {
  // A value of the wrong kind for its field (only possible when a FontChange
  // is built by hand, not through its named constructors) changes nothing.
  const int* number = std::get_if<int>(&change.value);
  const bool* flag = std::get_if<bool>(&change.value);
  const Text* name = std::get_if<Text>(&change.value);
  FontFields result = current;
  using Field = FontChange::Field;
  switch (change.field) {
    case Field::angle:
      if (number) result.angle = ReducedAngle(*number);
      break;
    case Field::bold:
      if (flag) result.weight = *flag ? kBoldWeight : kDefaultWeight;
      break;
    case Field::italic:
      if (flag) result.italic = *flag;
      break;
    case Field::underline:
      if (flag) result.underline = *flag;
      break;
    case Field::strikeout:
      if (flag) result.strikeout = *flag;
      break;
    case Field::size:
      if (number) result.height = HeightForPointSize(*number, dpiY);
      break;
    case Field::face:
      if (name) result.face = FaceOrFallback(*name);
      break;
  }
  return result;
}

int EditBoxHeightForFont(int currentHeight, int characterHeight, int edgeWidth) {
  const int needed = characterHeight + 2 * edgeWidth;
  return currentHeight < needed ? needed : currentHeight;
}
