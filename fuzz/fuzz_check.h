// What every fuzz target shares: a check of an invariant that stops the run
// as a crash (libFuzzer then keeps the input), the check that a Text holds no
// zero byte, and the way a target cuts its input into texts and numbers.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/text.h"

// abort() is what libFuzzer reports as a crash and saves the input for.
#define FUZZ_CHECK(condition)                                                                 \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)

inline void CheckNoZeroByte(const Text& text) {
  FUZZ_CHECK(text.bytes().find('\0') == std::string::npos);
}

// A text from the front of the input: its bytes up to a backslash followed by
// any other byte ("\\" stands for one backslash). So the committed seeds can
// hold several texts, cut apart by "\|". Zero bytes are kept: the Text
// constructor must cut them off.
inline Text ConsumeText(FuzzedDataProvider& input) {
  return Text(input.ConsumeRandomLengthString());
}

// A position or a count: mostly a small one around the length of `text`,
// where the edge cases lie, sometimes any int at all. FuzzedDataProvider takes
// numbers from the end of the input, so text seeds stay readable.
inline int ConsumePosition(FuzzedDataProvider& input, const Text& text) {
  if (input.ConsumeBool()) return input.ConsumeIntegral<int>();
  const int length = static_cast<int>(text.size());
  return input.ConsumeIntegralInRange<int>(-2, length + 2);
}

inline std::optional<int> ConsumeOptionalPosition(FuzzedDataProvider& input, const Text& text) {
  if (input.ConsumeBool()) return std::nullopt;
  return ConsumePosition(input, text);
}
