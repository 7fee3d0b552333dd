// Recognition over given bit strings and first bytes, stage by stage.
#include "kestrel/recognition.h"

#include <gtest/gtest.h>

#include "kestrel/format_records.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using kestrel::CaptureOutcome;
using kestrel::RawStart;
using kestrel::RecognitionState;

const std::string kEmptyHalf(32, '?');

struct Pass {
  RecognitionState s = kestrel::FreshState();
  CaptureOutcome Run(const std::string& bits, RawStart raw = {0x55, 0, 0}) {
    return kestrel::Recognise(bits, raw, kestrel::KnownFormat(s.CodePrefix), s);
  }
  void Prefix(const char* code) { kestrel::SetPrefix(s, code); }
  std::string Group() const { return std::string(s.StoredGroup, strnlen(s.StoredGroup, 32)); }
  std::string Data() const { return std::string(s.StoredData, strnlen(s.StoredData, 32)); }
};

void ExpectCode(const CaptureOutcome& o, const char* code) {
  EXPECT_EQ(o.result, 1);
  EXPECT_TRUE(o.writeCode);
  EXPECT_STREQ(o.code, code);
}
void ExpectAgain(const CaptureOutcome& o) {
  EXPECT_EQ(o.result, 0);
  EXPECT_TRUE(o.writeCode);
  EXPECT_STREQ(o.code, "AGAIN");
}
void ExpectUnchanged(const CaptureOutcome& o) {
  EXPECT_EQ(o.result, 0);
  EXPECT_FALSE(o.writeCode);
}

const std::string kNe00 = "00000000" "11111111" "00000000" "11111111";

TEST(NeClassification, LengthAndTheNecComplement) {
  Pass p;
  ExpectUnchanged(p.Run(kNe00.substr(0, 29)));
  ExpectCode(p.Run(kNe00.substr(0, 30) + "??"), "NE 00 00");
  ExpectCode(p.Run(kNe00), "NE 00 00");
  EXPECT_STREQ(p.s.CodePrefix, "NE");
  std::string q = kNe00;
  q[3] = '?';  // taken as the inverse of b[11]
  ExpectCode(p.Run(q), "NE 00 00");
  q = kNe00;
  q[8] = '0';  // b[0] and b[8] both "0": group bit 0 undecided
  ExpectUnchanged(p.Run(q));
  // Group 1000 0000 and data 0100 0000 are 01 and 02.
  ExpectCode(p.Run("10000000" "01111111" "01000000" "10111111"), "NE 01 02");
  EXPECT_FALSE(p.Run(kNe00).hasMessage);
}

TEST(NeClassification, PioneerGroupsCompleteAsPiOrAskAgain) {
  for (const char* g : {"01010101", "11010101", "01100101", "10000101", "01000101", "00010101"}) {
    SCOPED_TRACE(g);
    std::string inv;
    for (const char* c = g; *c; ++c) inv += *c == '0' ? '1' : '0';
    Pass p;
    CaptureOutcome o = p.Run(g + inv + "10000000" "01111111");
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(std::string(o.code, 2), "PI");
    EXPECT_STREQ(p.s.CodePrefix, "NE");
    // Only the first data bit undecided: capture again as PI, halves kept.
    ExpectAgain(p.Run(g + inv + "?0000000" "?1111111"));
    EXPECT_STREQ(p.s.CodePrefix, "PI");
    EXPECT_EQ(p.Group(), g);
    EXPECT_EQ(p.Data(), "?0000000");
  }
  Pass p;
  ExpectUnchanged(p.Run("01010101" "10101010" "0?000000" "1?111111"));  // not the first bit
  ExpectUnchanged(p.Run("00000000" "11111111" "?0000000" "?1111111"));  // not a Pioneer group
}

TEST(NeClassification, FirstBytesPointToTheNextFormat) {
  // JVC: bits repeat 17 later, first bytes of a long leader.
  std::string jv = "1010000011000000" "1" "1010000011000000";
  Pass p;
  ExpectAgain(p.Run(jv, {0x00, 0xFC, 0}));
  EXPECT_STREQ(p.s.CodePrefix, "J1");
  EXPECT_EQ(p.Group(), "10100000");
  EXPECT_EQ(p.Data(), "11000000");
  Pass notJv;
  ExpectUnchanged(notJv.Run(jv, {0x00, 0xFE, 0}));  // wrong second byte: NE, undecidable
  std::string seventeenth = jv;
  seventeenth[16] = '0';  // the bit between the two copies must not be "0"
  ExpectUnchanged(notJv.Run(seventeenth, {0x00, 0xFC, 0}));
  EXPECT_STREQ(notJv.s.CodePrefix, "NE");

  // Sharp: group repeats, data comes back inverted; an undecided data bit is
  // taken as the inverse of its partner.
  std::string sh = "10000" "1?00000000" "1" "10000" "0111111111" "0";
  Pass ps;
  ExpectAgain(ps.Run(sh + "00", {0xFE, 0xE6, 0}));
  EXPECT_STREQ(ps.s.CodePrefix, "SH");
  EXPECT_EQ(ps.Group(), "10000");
  EXPECT_EQ(ps.Data(), "1000000000");

  Pass pa;
  ExpectAgain(pa.Run("0?1?0?0?1" + std::string(21, '0'), {0x00, 0x78, 0}));
  EXPECT_STREQ(pa.s.CodePrefix, "PA");
  EXPECT_EQ(std::string(pa.s.StoredGroup, 32), kEmptyHalf);

  Pass so;
  std::memcpy(so.s.StoredGroup, "1", 2);
  ExpectAgain(so.Run(std::string(11, '0') + std::string(19, '1'), {0x00, 0xE0, 0}));
  EXPECT_STREQ(so.s.CodePrefix, "SO");
  EXPECT_EQ(std::string(so.s.StoredGroup, 32), kEmptyHalf);
}

TEST(NeClassification, PanasonicNewFormatIsANoticeOnly) {
  const RawStart pairs[] = {{0x00, 0xFF, 0x50}, {0x00, 0xFF, 0x60}, {0x00, 0x70, 0x78},
                            {0x00, 0x70, 0xF8}, {0x00, 0xF0, 0x70}, {0x00, 0xF0, 0xF0},
                            {0x00, 0xC4, 0x44}, {0x00, 0xC4, 0xCC}, {0x00, 0xC4, 0xC4}};
  for (const RawStart& raw : pairs) {
    SCOPED_TRACE(testing::Message() << std::hex << int(raw.r1) << " " << int(raw.r2));
    Pass p;
    CaptureOutcome o = p.Run(kNe00, raw);
    ExpectUnchanged(o);
    ASSERT_TRUE(o.hasMessage);
    EXPECT_EQ(o.message.text,
              "These signals are perhapps Panasonic new format!\nThis type can not control through IrDA port!\n"
              "You must use Alps IR Multi Station or Hal Corp. Crossam2+!");
    EXPECT_EQ(o.message.caption, "Notice!");
    EXPECT_EQ(o.message.style, 0u);
  }
  Pass p;
  EXPECT_FALSE(p.Run(kNe00, {0x00, 0xC4, 0x4C}).hasMessage);  // not one of the pairs
}

// Bits with a "1" among the first eleven, which the bit test refuses as Sony: the
// bytes of the whole capture decide. A Sony frame at 4800 baud is the leader 0x00,
// five or more bytes with no long dark run but in the last, then the next leader.
TEST(NeClassification, SonyByTheRhythmOfItsBytes) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* prefix;  // "SO": asks again as Sony; "NE": completes as NEC
  } rows[] = {
      {"fifteen-bit frame", {0x00, 0xE0, 0xE0, 0x1C, 0xE0, 0x1C, 0xE0, 0x1C, 0xFC, 0x00, 0xE0}, "SO"},
      {"Panasonic notice bytes", {0x00, 0xF0, 0xF0, 0x9E, 0xF0, 0x9E, 0xF0, 0x00}, "SO"},
      {"long dark inside the frame", {0x00, 0xE0, 0xE0, 0xFC, 0xE0, 0x1C, 0xE0, 0x1C, 0xFC, 0x00}, "NE"},
      {"frame too short", {0x00, 0xE0, 0xE0, 0x1C, 0xFC, 0x00, 0xE0}, "NE"},
      {"no next leader", {0x00, 0xE0, 0xE0, 0x1C, 0xE0, 0x1C, 0xE0, 0x1C}, "NE"},
      {"second byte not Sony's", {0x00, 0x1A, 0xE0, 0x1C, 0xE0, 0x1C, 0xE0, 0x1C, 0xFC, 0x00}, "NE"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Pass p;
    RawStart raw{row.bytes[0], row.bytes[1], row.bytes[2], row.bytes};
    CaptureOutcome o = p.Run(kNe00, raw);
    EXPECT_FALSE(o.hasMessage);
    if (std::strcmp(row.prefix, "SO") == 0) {
      ExpectAgain(o);
    } else {
      ExpectCode(o, "NE 00 00");
    }
    EXPECT_STREQ(p.s.CodePrefix, row.prefix);
  }
}

TEST(JvcStages, MergeThenCompleteOrAskAThirdTime) {
  Pass p;
  p.Prefix("J1");
  std::memcpy(p.s.StoredGroup, "1?100000", 9);
  std::memcpy(p.s.StoredData, "11000000", 9);
  ExpectCode(p.Run("01100000" "1100000?"), "JV 07 03");  // stored bits win
  EXPECT_EQ(std::string(p.s.StoredGroup, 32), kEmptyHalf);

  p.Prefix("J1");
  std::memcpy(p.s.StoredGroup, "1?1?0000", 9);
  std::memcpy(p.s.StoredData, "11000000", 9);
  ExpectAgain(p.Run("0?100000" "11000000"));
  EXPECT_STREQ(p.s.CodePrefix, "J2");
  // J2: a bit decided differently asks again and keeps the halves.
  ExpectAgain(p.Run("00100000" "11000000"));
  EXPECT_EQ(p.Group(), "1?100000");
  // Still undecided after merging: abandoned.
  CaptureOutcome o = p.Run("1???0000" "11000000");
  EXPECT_TRUE(o.writeCode);
  EXPECT_STREQ(o.code, "");
  EXPECT_STREQ(p.s.CodePrefix, "NE");
  EXPECT_EQ(std::string(p.s.StoredData, 32), kEmptyHalf);
}

TEST(JvcStages, NoDecoderFormatsCompleteEmpty) {
  for (const char* f : {"JV", "MI"}) {
    Pass p;
    p.Prefix(f);
    CaptureOutcome o = p.Run("");
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(std::string(o.code), std::string(f) + " 00 00");
  }
}

TEST(MitsubishiStages, M0NoticeThenTheUndecidedPathToM2) {
  Pass p;
  p.Prefix("M0");
  std::string bits = "1000000?" "01000000" + std::string(16, '0') + "1";
  CaptureOutcome o = p.Run(bits);  // b[15] "0", b[32] "1": enhanced
  ASSERT_TRUE(o.hasMessage);
  EXPECT_EQ(o.message.caption, "Notice!");
  EXPECT_NE(o.message.text.find("Mitsubishi enhanced format"), std::string::npos);
  ExpectAgain(o);
  EXPECT_STREQ(p.s.CodePrefix, "M1");
  ExpectAgain(p.Run("1000000?" "0?000000"));
  EXPECT_STREQ(p.s.CodePrefix, "M2");
  // M2: a bit decided differently from the stored one asks again, halves kept.
  ExpectAgain(p.Run("0000000?" "0?000000"));
  EXPECT_STREQ(p.s.CodePrefix, "M2");
  EXPECT_EQ(p.Group(), "1000000?");
  // M2: nobody decided group bit 7: it becomes "0"; data bit 1 came from M0.
  ExpectCode(p.Run("1000000?" "0?000000"), "MI 01 02");
  EXPECT_EQ(std::string(p.s.StoredGroup, 32), kEmptyHalf);

  Pass whole;
  whole.Prefix("M0");
  ExpectCode(whole.Run("10000000" "01000000"), "MI 01 02");
}

TEST(PioneerStage, FindsDataBitsOneToSevenAndFillsBitZero) {
  Pass p;
  p.Prefix("PI");
  std::memcpy(p.s.StoredGroup, "01010101", 9);
  std::memcpy(p.s.StoredData, "?1010000", 9);
  // Data bits 1..7 at 17, bit 0 ("1") just before them.
  ExpectCode(p.Run(std::string(16, '0') + "1" "1010000"), "PI aa 0b");
  p.Prefix("PI");
  std::memcpy(p.s.StoredData, "?1010000", 9);
  ExpectAgain(p.Run(std::string(16, '0') + "?" "1010000"));  // bit 0 lost again
  EXPECT_STREQ(p.s.CodePrefix, "PI");
  ExpectAgain(p.Run(std::string(16, '1') + "0" "0101111"));  // nowhere near

  // Starts 16 and 18 match equally well: the later one wins, so bit 0 is b[17].
  p.Prefix("PI");
  std::memcpy(p.s.StoredData, "?1010101", 9);
  ExpectCode(p.Run(std::string(15, '0') + "1" "101010101"), "PI aa aa");
}

TEST(PanasonicStage, ComplementElevenApart) {
  Pass p;
  p.Prefix("PA");
  // Group 10000, data 010000, each followed by its inverse; bits 0 and 12 agree.
  CaptureOutcome o = p.Run("10000" "010000" "01111" "101111" "0");
  ExpectCode(o, "PA 01 02");
  EXPECT_FALSE(o.hasMessage);
  // Nothing twelve apart agrees: the too-old notice, and the code all the same.
  p.Prefix("PA");
  o = p.Run("10000" "010000" "0");
  ExpectCode(o, "PA 01 02");
  ASSERT_TRUE(o.hasMessage);
  EXPECT_NE(o.message.text.find("Panasonic too old format"), std::string::npos);
  EXPECT_EQ(o.message.caption, "Notice!");
  // A bit equal to its partner: undecided, back to NE with nothing stored.
  p.Prefix("PA");
  ExpectUnchanged(p.Run("10000" "010000" "11111" "101111" "0"));
  EXPECT_STREQ(p.s.CodePrefix, "NE");
}

TEST(SonyStage, TwelveAndFifteenBitRepeats) {
  Pass p;
  p.Prefix("SO");
  std::string twelve = "1000000" "10000";
  ExpectCode(p.Run(twelve + "1" + twelve), "SO 01 01");
  p.Prefix("SO");
  std::string fifteen = "1100000" "00000001";
  CaptureOutcome o = p.Run(fifteen + "1" + fifteen);
  ExpectCode(o, "SO 80 03");
  ASSERT_TRUE(o.hasMessage);
  EXPECT_NE(o.message.text.find("Sony enhanced format"), std::string::npos);
  p.Prefix("SO");
  o = p.Run(twelve + "0" + twelve);
  EXPECT_STREQ(o.code, "");
  EXPECT_TRUE(o.writeCode);
  EXPECT_STREQ(p.s.CodePrefix, "NE");
}

TEST(SharpStage, CompleteKeepsTheGroupForLater) {
  Pass p;
  p.Prefix("SH");
  ExpectCode(p.Run("10001" "1111111111" "1" "10001" "0000000000"), "SH 11 3ff");
  EXPECT_EQ(p.Group(), "10001");
  EXPECT_EQ(std::string(p.s.StoredData, 32), kEmptyHalf);
  // Group bit 3 lost everywhere is "0".
  p.Prefix("SH");
  ExpectCode(p.Run("100?1" "1000000000" "1" "100?1" "0111111111"), "SH 11 01");
  // A lost bit is read sixteen places on: the group bit as it is, the data bit inverted.
  Pass later;
  later.Prefix("SH");
  ExpectCode(later.Run("1?001" "?111111111" "1" "10001" "0000000000"), "SH 11 3ff");
}

TEST(SharpStage, CandidateMessages) {
  Pass p;
  p.Prefix("SH");
  // One undecided group bit (4), none in the data.
  CaptureOutcome o = p.Run("1000?" "1000000000" "1" "1000?" "0111111111");
  ExpectUnchanged(o);
  ASSERT_TRUE(o.hasMessage);
  EXPECT_EQ(o.message.text, "This is Sharp format!\nGroup=01 or 11\nData =01");
  EXPECT_EQ(o.message.caption, "Sharp Data I-48-5");
  EXPECT_EQ(o.message.style, 0x2000u);
  EXPECT_STREQ(p.s.CodePrefix, "NE");

  // Two undecided data bits, group known: the later bit is the first of the pair.
  p.Prefix("SH");
  o = p.Run("10000" "?0?0000000" "1" "10000" "?0?0000000");
  ASSERT_TRUE(o.hasMessage);
  EXPECT_EQ(o.message.text, "This is Sharp format!\nGroup=01\nData =00 or 01 or 04 or 05");
  EXPECT_EQ(o.message.caption, "Sharp Data I-48-4");
  EXPECT_EQ(p.Group(), "10000");

  // Three undecided group bits: no message, and both stored halves are emptied.
  p.Prefix("SH");
  std::memcpy(p.s.StoredGroup, "???01", 6);
  std::memcpy(p.s.StoredData, "1111111111", 11);
  o = p.Run("???01" "1000000000" "1" "???01" "0111111111");
  ExpectUnchanged(o);
  EXPECT_FALSE(o.hasMessage);
  EXPECT_STREQ(p.s.CodePrefix, "NE");
  EXPECT_EQ(std::string(p.s.StoredGroup, 32), kEmptyHalf);
  EXPECT_EQ(std::string(p.s.StoredData, 32), kEmptyHalf);

  // Three undecided data bits: no message at all.
  p.Prefix("SH");
  o = p.Run("10000" "???0000000" "1" "10000" "???0000000");
  ExpectUnchanged(o);
  EXPECT_FALSE(o.hasMessage);
  EXPECT_STREQ(p.s.CodePrefix, "NE");
}

}  // namespace
