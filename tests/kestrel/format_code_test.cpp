#include "kestrel/format_code.h"

#include <gtest/gtest.h>

#include <string>

#include "kestrel/learning_pass.h"

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

// After a capture without a code: another press or not, and the format it runs in.
TEST(FormatCode, TheNextLearningPassFollowsAgainAndStartsOverAfterTheEmptyText) {
  using kestrel::Adopts;
  struct Case {
    const char* received;
    const char* codePrefix;  // the receiver's, after the call
    const char* formatCode;  // the caller's
    Adopts adopts;
    bool again;
    const char* nextFormat;
    const char* nextPrefix;
  };
  const Case cases[] = {
      {"AGAIN", "SO", "NE", Adopts::Sony, true, "SO", "SO"},   // Sony becomes the caller's format
      {"AGAIN", "J1", "NE", Adopts::Sony, true, "NE", "NE"},   // any other request: back to the caller's
      {"AGAIN", "PI", "SO", Adopts::Sony, true, "SO", "SO"},
      {"", "NE", "SO", Adopts::Sony, false, "NE", "NE"},       // given up: start over in NEC
      {nullptr, "NE", "SO", Adopts::Sony, false, "NE", "NE"},
      {"LW 00 41", "J2", "SO", Adopts::Sony, false, "SO", "J2"},  // nothing the library asked for
      {"AGAIN", "J1", "NE", Adopts::Every, true, "J1", "J1"},  // the library's passes, followed
      {"AGAIN", "SO", "J2", Adopts::Every, true, "SO", "SO"},
      {"", "NE", "J2", Adopts::Every, false, "NE", "NE"},
      {"AGAIN", "M1", "A FORMAT CODE TOO LONG", Adopts::Sony, true, "A FORMAT CODE T", "A FORMAT CODE T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.received ? c.received : "(null)") + " " + c.codePrefix + " " + c.formatCode);
    const kestrel::LearningPass next = kestrel::NextLearningPass(c.received, c.codePrefix, c.formatCode, c.adopts);
    EXPECT_EQ(next.Again, c.again);
    EXPECT_STREQ(next.FormatCode, c.nextFormat);
    EXPECT_STREQ(next.CodePrefix, c.nextPrefix);
  }
}

}  // namespace
