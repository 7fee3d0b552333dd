#include "win32/utf8_to_wide.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(Utf8ToWide, ConvertsWhatFitsAndEmptiesWhatDoesNot) {
  wchar_t out[4];
  EXPECT_TRUE(Utf8ToWide("\xe8\xb5\xa4\xe5\xa4\x96", out, 4));  // two characters, six bytes
  EXPECT_STREQ(out, L"\x8d64\x5916");
  EXPECT_TRUE(Utf8ToWide("abc", out, 4));  // exactly fills, its zero included
  EXPECT_STREQ(out, L"abc");
  EXPECT_FALSE(Utf8ToWide("abcd", out, 4));
  EXPECT_STREQ(out, L"");
  EXPECT_FALSE(Utf8ToWide("a", out, 0));
}

}  // namespace
}  // namespace vantor
