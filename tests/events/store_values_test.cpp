#include "app/events/store_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vantor {
namespace {

TEST(ScanDecimal, ReadsLikePercentD) {
  std::int32_t v = 99;
  EXPECT_EQ(ScanDecimal("  42x", &v), 4u);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(ScanDecimal("-7", &v), 2u);
  EXPECT_EQ(v, -7);
  EXPECT_EQ(ScanDecimal("+3;", &v), 2u);
  EXPECT_EQ(v, 3);
  EXPECT_EQ(ScanDecimal("-2147483648", &v), 11u);
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_EQ(ScanDecimal("2147483647", &v), 10u);
  EXPECT_EQ(v, INT32_MAX);
}

TEST(ScanDecimal, NoNumberOrOutOfRangeLeavesTheValue) {
  for (const char* text : {"", "abc", "-", " + 1", "2147483648", "-2147483649", "99999999999999999999"}) {
    std::int32_t v = 5;
    EXPECT_EQ(ScanDecimal(text, &v), 0u) << text;
    EXPECT_EQ(v, 5) << text;
  }
}

TEST(Transmitter, TwoNumbersBeforeTheRestOfTheText) {
  struct Case {
    const char* text;
    std::int32_t pellow, kestrel;
  } cases[] = {
      {"1;0;END", 1, 0},    {"0;1;END", 0, 1},  {"1;1;END", 1, 1},
      {"1;1;ANYTHING", 1, 1}, {"1;1", 1, 1},    {" 1; 1;END", 1, 1},
      {"1", 1, 0},          {"1 ;1;END", 1, 0}, {"1;X;END", 1, 0},
      {"X;1;END", 0, 0},    {"", 0, 0},         {"99999999999;1;END", 0, 0},
  };
  for (const Case& c : cases) {
    PortOptionsRecord options;
    ParseTransmitter(c.text, options);
    EXPECT_EQ(options.UsePellow, c.pellow) << c.text;
    EXPECT_EQ(options.UseKestrel, c.kestrel) << c.text;
  }
}

TEST(ComFlags, OnlyTheNamedPortIsSelected) {
  PortOptionsRecord options;
  options.UseCom1 = options.UseCom2 = options.UseCom3 = options.UseCom4 = 1;
  SelectComFlag("COM3", options);
  EXPECT_EQ(options.UseCom1 + options.UseCom2 + options.UseCom4, 0);
  EXPECT_EQ(options.UseCom3, 1);
  for (const char* name : {"COM0", "COM5", "COM-1", "NON", "com1"}) {
    SelectComFlag(name, options);
    EXPECT_EQ(options.UseCom1 + options.UseCom2 + options.UseCom3 + options.UseCom4, 0) << name;
  }
}

TEST(Formatting, WritesTheStoredForms) {
  char out[32];
  PortOptionsRecord options;
  options.UsePellow = 1;
  ASSERT_TRUE(FormatTransmitter(out, sizeof out, options));
  EXPECT_STREQ(out, "1;0;end");
  ASSERT_TRUE(FormatEventListName(out, sizeof out, 12));
  EXPECT_STREQ(out, "EventList12");
  ASSERT_TRUE(FormatComPortName(out, sizeof out, -3));
  EXPECT_STREQ(out, "COM-3");
  ASSERT_TRUE(FormatDecimal(out, sizeof out, INT32_MIN));
  EXPECT_STREQ(out, "-2147483648");
}

TEST(Formatting, ATooSmallBufferIsReportedAndStaysTerminated) {
  char out[6];
  std::memset(out, 'x', sizeof out);
  EXPECT_FALSE(FormatEventListName(out, sizeof out, 3));
  EXPECT_STREQ(out, "Event");
  char name[20];
  EXPECT_TRUE(FormatComPortName(name, sizeof name, INT32_MIN));  // the widest name still fits
}

TEST(EventListName, OnlyNamesTheStoreWritesCount) {
  std::int32_t index = -1;
  EXPECT_TRUE(ParseEventListName("EventList0", &index));
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(ParseEventListName("eventlist17", &index));  // value names ignore case
  EXPECT_EQ(index, 17);
  EXPECT_TRUE(ParseEventListName("EVENTLIST2147483647", &index));
  EXPECT_EQ(index, INT32_MAX);
  for (const char* name : {"EventList", "EventListCount", "EventList01", "EventList-1", "EventList+1",
                           "EventList 1", "EventList1x", "EventList2147483648", "EventLis1", ""}) {
    EXPECT_FALSE(ParseEventListName(name, &index)) << name;
  }
}

TEST(UpperCase, OnlyAsciiLettersChange) {
  char text[] = "lw 00 0a;move 0 -5;\xe9z{";
  UpperCaseAscii(text);
  EXPECT_STREQ(text, "LW 00 0A;MOVE 0 -5;\xe9Z{");
}

TEST(FormatCode, LongTextIsCutToFifteenCharacters) {
  char code[16];
  std::memset(code, 'x', sizeof code);
  CopyFormatCode(code, sizeof code, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_STREQ(code, "ABCDEFGHIJKLMNO");
  CopyFormatCode(code, sizeof code, "SO");
  EXPECT_STREQ(code, "SO");
  EXPECT_EQ(code[15], '\0');
}

TEST(UsableText, OnlyTerminatedStringsThatFit) {
  char buffer[kValueBufferSize] = {};
  std::memcpy(buffer, "NE", 3);
  EXPECT_TRUE(IsUsableText(true, buffer, sizeof buffer, 3));
  EXPECT_FALSE(IsUsableText(false, buffer, sizeof buffer, 3));  // REG_DWORD, REG_BINARY, ...
  EXPECT_FALSE(IsUsableText(true, buffer, sizeof buffer, sizeof buffer + 1));

  std::memset(buffer, 'A', sizeof buffer);  // 300 bytes and no room for the zero
  EXPECT_FALSE(IsUsableText(true, buffer, sizeof buffer, sizeof buffer));
  buffer[sizeof buffer - 1] = '\0';  // 299 characters and their zero
  EXPECT_TRUE(IsUsableText(true, buffer, sizeof buffer, sizeof buffer));
}

}  // namespace
}  // namespace vantor
