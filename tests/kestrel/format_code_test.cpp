#include "kestrel/format_code.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatCode, EachFormatWithASpeedCapturesAtIt) {
  struct Case {
    const char* code;
    unsigned baud;
  };
  const Case cases[] = {{"NE", 4800}, {"J1", 2500}, {"J2", 1000}, {"SH", 2000}, {"PI", 900},
                        {"PA", 2800}, {"M1", 1600}, {"M2", 800},  {"SO", 9600}};
  for (const Case& c : cases) {
    EXPECT_EQ(kestrel::CaptureBaud(c.code, 19200), c.baud) << c.code;
    EXPECT_TRUE(kestrel::IsFormatCode(c.code)) << c.code;
  }
}

TEST(FormatCode, FormatsWithoutASpeedKeepTheLineAsItIs) {
  for (const char* code : {"JV", "M0", "MI"}) {
    EXPECT_EQ(kestrel::FormatBaud(code), 0u) << code;
    EXPECT_EQ(kestrel::CaptureBaud(code, 19200), 19200u) << code;
    EXPECT_TRUE(kestrel::IsFormatCode(code)) << code;
  }
}

TEST(FormatCode, UnknownCodesKeepTheCurrentSpeed) {
  for (const char* code : {"LW", "ne", "N", "", "EN", "S0", "XX"}) {
    EXPECT_EQ(kestrel::CaptureBaud(code, 19200), 19200u) << code;
    EXPECT_FALSE(kestrel::IsFormatCode(code)) << code;
  }
  EXPECT_EQ(kestrel::CaptureBaud(nullptr, 4800), 4800u);
  EXPECT_FALSE(kestrel::IsFormatCode(nullptr));
}

TEST(FormatCode, OnlyTheFirstTwoCharactersCount) {
  EXPECT_EQ(kestrel::CaptureBaud("NEC", 19200), 4800u);
  EXPECT_EQ(kestrel::CaptureBaud("SONY", 19200), 9600u);
  // The program may fill all 16 bytes without a terminator; nothing past two is read.
  const char unterminated[2] = {'P', 'I'};
  EXPECT_EQ(kestrel::CaptureBaud(unterminated, 19200), 900u);
  const char one[1] = {'Q'};
  EXPECT_EQ(kestrel::CaptureBaud(one, 19200), 19200u);
}

}  // namespace
