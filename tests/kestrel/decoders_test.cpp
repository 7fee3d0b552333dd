// The level picture and the three decoders, over hand-made pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kestrel/decode.h"
#include "kestrel/decoders.h"
#include "kestrel/format_records.h"
#include "kestrel/level_picture.h"

namespace {

std::string Picture(std::vector<std::uint8_t> bytes) { return kestrel::LevelPicture(bytes.data(), bytes.size()); }

std::string Runs(const std::string& picture, const char* code) {
  std::string bits;
  EXPECT_EQ(kestrel::RunDecode(picture, kestrel::KnownFormat(code).runs, bits), kestrel::RunOutcome::Done) << picture;
  return bits;
}

std::string Pattern(const std::string& picture, const char* code) {
  std::string bits;
  kestrel::PatternDecode(picture, kestrel::KnownFormat(code).patterns, bits);
  return bits;
}

TEST(LevelPicture, TenCharactersPerByteLeastSignificantBitFirst) {
  EXPECT_EQ(Picture({0x00}), "---------?");
  EXPECT_EQ(Picture({0xFF}), "-________?");
  EXPECT_EQ(Picture({0x01}), "-_-------?");
  EXPECT_EQ(Picture({0x9E, 0x01}), "--____--_?-_-------?");
  std::vector<std::uint8_t> full(1024, 0x55);
  EXPECT_EQ(Picture(full).size(), 10240u);
  EXPECT_EQ(kestrel::At(Picture({0x00}), 10), '\0');
}

TEST(RunDecoder, EachFormatsTableDecidesTheBits) {
  struct Case {
    const char* code;
    const char* picture;
    const char* bits;
  };
  // The picture stretches are cut out of whole bytes so every rule sees its own context.
  const Case cases[] = {
      // NEC timing: four dark is a "1", five cut by the byte end too, two cut is too short to tell.
      {"NE", "-____-", "1"}, {"NE", "-___-", "0"}, {"NE", "-_____?", "1"}, {"NE", "-__?", "?"}, {"PA", "-____-", "1"},
      // Eight dark or more at the end is the idle line; a whole byte of light is the leader.
      {"NE", "-________?", ""}, {"NE", "-_________?", ""}, {"NE", "---------?", ""},
      // Seven light: a bit lost in the gap; long light never makes bits of its own in NE.
      {"NE", "-------?", "?"}, {"NE", "-----------", ""},
      // Mitsubishi: six dark is a "1".
      {"M0", "-------?", "?"}, {"M0", "-_____-", "0"}, {"M0", "-______-", "1"}, {"M0", "-_____?", "?"},
      {"M0", "-______?", "1"},
      // JVC: dark and short light before the first whole byte of light are ignored; after
      // the leader every third light character is a "0" of its own, dark of two is a "1".
      {"J1", "-__-----?", "?"}, {"J1", "---------?-__-", "1"}, {"J1", "---------?---_-", "00"},
      {"J1", "---------?-_?", "?"},
      // Sharp and Mitsubishi's second pass count light from the start; M1 calls any byte
      // end in light a lost bit, however long the light.
      {"SH", "---", "0"}, {"SH", "-_-", "0"}, {"SH", "-__-", "1"}, {"SH", "--?", "?"},
      {"M1", "--?", "?"}, {"M1", "-_?", "?"}, {"M1", "-__?", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Runs(c.picture, c.code), c.bits) << c.code << " " << c.picture;
  // A whole byte of light is too long for Mitsubishi: the capture is given up.
  std::string bits;
  EXPECT_EQ(kestrel::RunDecode("---------?", kestrel::KnownFormat("M0").runs, bits), kestrel::RunOutcome::Abort);
}

TEST(DecodeCapture, M0AbortEmptiesTheCodeAndForgetsTheHalves) {
  kestrel::RecognitionState s = kestrel::FreshState();
  std::memcpy(s.StoredGroup, "0101", 5);
  // 0xFE 0xFE makes it M0; the third byte is all light.
  const std::uint8_t bytes[] = {0xFE, 0xFE, 0x00};
  kestrel::CaptureOutcome o = kestrel::DecodeCapture(bytes, sizeof bytes, s);
  EXPECT_EQ(o.result, 0);
  EXPECT_TRUE(o.writeCode);
  EXPECT_STREQ(o.code, "");
  EXPECT_STREQ(s.CodePrefix, "NE");
  EXPECT_EQ(std::string(s.StoredGroup, 32), std::string(32, '?'));
}

TEST(PatternDecoderPi, StopsAtTheFirstStopPatternAndNeverHoldsMoreThan32Bits) {
  // Byte 0 is skipped; byte 1 reads "0" and "1", then stops at "-__".
  std::string picture = Picture({0x00, 0b00011010, 0x00});
  EXPECT_EQ(picture.substr(10, 10), "--_-__---?");
  EXPECT_EQ(Pattern(picture, "PI"), "01");
  // A picture full of light would give nine bits a byte; the limit holds it at 32.
  std::vector<std::uint8_t> light(8, 0x00);
  std::string bits = Pattern(Picture(light), "PI");
  EXPECT_EQ(bits.size(), 32u);
  EXPECT_EQ(bits.substr(0, 9), "00000000?");
}

TEST(PatternDecoderJ2, GapBitIsInsertedOnlyWhenTheRestCannotFillTheFrame) {
  // Byte 1 (0xAA, "--_-_-_-_?"): 0 1 1 1 then "1?".
  std::string bits = Pattern(Picture({0x00, 0xAA, 0x00, 0xFF, 0xFF}), "J2");
  EXPECT_EQ(bits.substr(0, 6), "01111?");
  // Byte 2 is all light: eight "0" and a "?" make 15; byte 3 opens with the stop
  // pattern, so nothing follows and the bit lost in the gap is the sixteenth.
  EXPECT_EQ(bits, "01111?" "00000000?" "?");
  // Byte 2 stops early ("---______?"): the gap bit, and nothing after it.
  bits = Pattern(Picture({0x00, 0xAA, 0xFC}), "J2");
  EXPECT_EQ(bits, "01111?" "00" "?");
  // A full second stage leaves no room for a gap bit and stage 3 never runs.
  bits = Pattern(Picture({0x00, 0x00, 0x00, 0x00, 0x00}), "J2");
  EXPECT_EQ(bits, "00000000?" "0000000");
}

TEST(PatternDecoderM2, ByteEndAfterLightHidesTwoBitsInTheFirstByte) {
  // "-_______-?": the light before the byte end stands for two lost bits; nothing
  // follows, so the gap bit makes a third.
  EXPECT_EQ(Pattern(Picture({0x7F}), "M2"), "???");
  // Stage 2 reads byte 1 as J2 reads it (6 bits); stage 3 can bring 9 more, one
  // short of 16, so the gap bit goes in before them.
  EXPECT_EQ(Pattern(Picture({0xFF, 0xAA, 0x00}), "M2"), "01111?" "?" "00000000?");
}

TEST(PulseDecoder, FirstByteIsNeverLookedAt) {
  std::string bits;
  kestrel::PulseDecode(Picture({0x00, 0x00, 0xF0, 0x80}), bits);
  // Nine light characters: long; five: short; eight (a "0" held 200 us long): short.
  EXPECT_EQ(bits, "100");
  bits.clear();
  kestrel::PulseDecode(Picture({0xF0}), bits);
  EXPECT_EQ(bits, "");
  // Positions 10 to 319: only the 31 bytes after the first count.
  bits.clear();
  kestrel::PulseDecode(Picture(std::vector<std::uint8_t>(40, 0x00)), bits);
  EXPECT_EQ(bits, std::string(31, '1'));
}

// The record a capture is decoded in is the one its prefix is left naming.
void Normalise(kestrel::RecognitionState& s, const std::uint8_t* bytes, std::size_t count) {
  const kestrel::FormatRecord& f = kestrel::NormaliseFormat(kestrel::FindFormat(s.CodePrefix), s, bytes, count);
  EXPECT_EQ(&f, kestrel::FindFormat(s.CodePrefix)) << f.code;
}

TEST(NormaliseFormat, UnknownCodesBecomeNeAndMitsubishiBytesMakeM0) {
  const std::uint8_t pairs[][2] = {{0xFE, 0x9E}, {0x9E, 0xFE}, {0xFE, 0xFE}, {0x9E, 0x9E}};
  for (const auto& p : pairs) {
    kestrel::RecognitionState s = kestrel::FreshState();
    Normalise(s, p, 2);
    EXPECT_STREQ(s.CodePrefix, "M0");
  }
  kestrel::RecognitionState s = kestrel::FreshState();
  const std::uint8_t notM0[] = {0xFE, 0xFC};
  Normalise(s, notM0, 2);
  EXPECT_STREQ(s.CodePrefix, "NE");
  // Only an "NE" capture turns into M0.
  kestrel::SetPrefix(s, "SH");
  Normalise(s, pairs[0], 2);
  EXPECT_STREQ(s.CodePrefix, "SH");
  // Garbage in all 16 bytes: cleared to "NE" (then M0 by the bytes).
  std::memset(s.CodePrefix, 'x', sizeof s.CodePrefix);
  Normalise(s, notM0, 2);
  EXPECT_EQ(std::string(s.CodePrefix, 16), std::string("NE") + std::string(14, '\0'));
  std::memset(s.CodePrefix, 'x', sizeof s.CodePrefix);
  Normalise(s, pairs[0], 1);  // one byte: the second reads as zero
  EXPECT_STREQ(s.CodePrefix, "NE");
}

}  // namespace
