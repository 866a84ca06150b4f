#include "core/text.h"

#include <gtest/gtest.h>

TEST(Text, StopsAtTheFirstZeroByte) {
  EXPECT_EQ(Text(std::string_view("A\0B", 3)).bytes(), "A");
}
