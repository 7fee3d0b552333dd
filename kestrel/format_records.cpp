#include "kestrel/format_records.h"

namespace kestrel {
namespace {

// First bytes of a first-pass capture (4800 baud). Most families open with a
// leader long enough to fill the first byte with light.
constexpr std::uint8_t kLeaderByte[] = {0x00};
constexpr std::uint8_t kJvcSecond[] = {0x08, 0x0C, 0xF8, 0xFC};
constexpr std::uint8_t kSharpBytes[] = {0xFE, 0xCE, 0xEE, 0xE6, 0xE7};
constexpr std::uint8_t kPanasonicSecond[] = {0x70, 0xF0, 0x78};
constexpr std::uint8_t kMitsubishiBytes[] = {0xFE, 0x9E};
// After the leader's 0x00, the second byte is where the first data marks fall.
// Nominal frames give 0x1C or 0xE0; real remotes hold their marks 100 us shorter
// to 200 us longer than nominal, and the capture meets the frame at any moment,
// which gives the other six (every value the synthesizer's Sony 12- and 15-bit
// presses give over that range).
constexpr std::uint8_t kSonySecond[] = {0x18, 0x1C, 0x1E, 0x9C, 0x9E, 0xC0, 0xE0, 0xF0};

// NEC-timed marks: four dark characters or more make a "1"; eight at a byte end
// are the idle line.
constexpr RunTable kNecRuns = {.darkForOne = 4, .darkIgnoredAt = 8};

// JVC's passes share one layout, and so do Mitsubishi's. A JVC frame comes again
// one bit after it ends, which the first pass checks.
constexpr FrameLayout kJvcFrame = {.groupAt = 0, .groupBits = 8, .dataAt = 8, .dataBits = 8, .copyAt = 17};
constexpr FrameLayout kMitsubishiFrame = {.groupAt = 0, .groupBits = 8, .dataAt = 8, .dataBits = 8};

constexpr FormatRecord kFormats[] = {
    {.code = "NE", .baud = 4800,
     .decoder = Decoder::Runs, .runs = kNecRuns,
     .recognition = Recognition::Classify, .completesAs = "NE",
     // NEC: each byte is followed by its inverse.
     .frame = {.groupAt = 0, .groupBits = 8, .dataAt = 16, .dataBits = 8, .copyAt = 8},
     // The 9 ms leader fills a byte with light. A frame's bytes follow each other
     // within 2.3 ms once its first bit came (13.5 ms after the leader's byte); a
     // repeat code's one mark is followed by 95 ms of silence. Held, a frame or a
     // repeat code comes every 108 ms.
     .stream = {.kind = StreamKind::Leader, .leader = 0x00, .decidingBits = 32, .quietMs = 12,
                .repeatWindowMs = 160}},

    {.code = "J1", .baud = 2500,
     .decoder = Decoder::Runs,
     .runs = {.darkForOne = 2, .lightCounts = true, .needsLeader = true, .longLight = LongLight::SetLeader},
     .recognition = Recognition::Merge, .again = "J2", .completesAs = "JV",
     .frame = kJvcFrame, .firstBytes = {kLeaderByte, kJvcSecond}},

    {.code = "J2", .baud = 1000,
     .decoder = Decoder::Patterns,
     .patterns = {.first = {.first = 10, .last = 19},
                  .second = {.first = 20, .last = 29, .stop = true, .limit = 16},
                  .junction = {.first = 30, .last = 49, .stop = true, .limit = kJunctionLimit}},
     .recognition = Recognition::MergeChecked, .again = "J2", .completesAs = "JV",
     .frame = kJvcFrame},

    {.code = "JV", .recognition = Recognition::Presence, .completesAs = "JV"},

    {.code = "SH", .baud = 2000,
     .decoder = Decoder::Runs, .runs = {.darkForOne = 2, .lightCounts = true},
     .recognition = Recognition::Sharp, .completesAs = "SH",
     .frame = {.groupAt = 0, .groupBits = 5, .dataAt = 5, .dataBits = 10, .copyAt = 16},
     .firstBytes = {kSharpBytes, kSharpBytes}},

    {.code = "PI", .baud = 900,
     .decoder = Decoder::Patterns, .patterns = {.first = {.first = 10, .last = 59, .stop = true, .limit = 32}},
     .recognition = Recognition::Pioneer, .again = "PI", .completesAs = "PI",
     // The group is the one the first pass kept; the data's first bit sits at
     // dataAt or up to two bits later.
     .frame = {.groupAt = 0, .groupBits = 8, .dataAt = 15, .dataBits = 8}},

    {.code = "PA", .baud = 2800,
     .decoder = Decoder::Runs, .runs = kNecRuns,
     .recognition = Recognition::Panasonic, .completesAs = "PA",
     .frame = {.groupAt = 0, .groupBits = 5, .dataAt = 5, .dataBits = 6, .copyAt = 11},
     .firstBytes = {kLeaderByte, kPanasonicSecond}},

    // The first pass's capture, decoded again as Mitsubishi at the speed it came at.
    {.code = "M0",
     .decoder = Decoder::Runs, .runs = {.darkForOne = 6, .longLight = LongLight::Abort},
     .recognition = Recognition::Mitsubishi, .again = "M1", .completesAs = "MI",
     .frame = kMitsubishiFrame, .firstBytes = {kMitsubishiBytes, kMitsubishiBytes}},

    {.code = "M1", .baud = 1600,
     .decoder = Decoder::Runs, .runs = {.darkForOne = 2, .lightCounts = true, .longLight = LongLight::Undecided},
     .recognition = Recognition::Merge, .again = "M2", .completesAs = "MI",
     .frame = kMitsubishiFrame},

    {.code = "M2", .baud = 800,
     .decoder = Decoder::Patterns,
     .patterns = {.first = {.first = 0, .last = 9, .lostPair = true},
                  .second = {.first = 10, .last = 19, .stop = true, .limit = 16},
                  .junction = {.first = 20, .last = 39, .stop = true, .limit = kJunctionLimit}},
     // The third capture: a bit nobody saw is taken as 0 rather than asking forever.
     .recognition = Recognition::MergeChecked, .again = "M2", .completesAs = "MI", .undecidedIsZero = true,
     .frame = kMitsubishiFrame},

    {.code = "MI", .recognition = Recognition::Presence, .completesAs = "MI"},

    {.code = "SO", .baud = 9600,
     .decoder = Decoder::Pulses,
     .recognition = Recognition::Sony, .completesAs = "SO",
     // Seven key bits, then the device bits; the frame comes again one bit later.
     .frame = {.groupAt = 7, .groupBits = 5, .dataAt = 0, .dataBits = 7, .copyAt = 13},
     .enhanced = {.groupAt = 7, .groupBits = 8, .dataAt = 0, .dataBits = 7, .copyAt = 16},
     .firstBytes = {kLeaderByte, kSonySecond},
     // At 4800 baud a byte starts at each mark the line is free for, so a 12-bit
     // frame fills five or six bytes after its leader, a 15-bit one seven or
     // eight. Every space is 600 us, at most four dark samples in a row even
     // when the marks are 100 us short; the "1" spaces of NEC-timed frames leave
     // five or more in a byte.
     .rhythm = {.bytes = 5, .longestDark = 4},
     // One byte per mark at 9600 baud, the leader's too. Frames come every 45 ms,
     // at most 32 ms apart (a short 12-bit frame at 10 % jitter); the shortest tap
     // sends three.
     .stream = {.kind = StreamKind::Counted, .quietMs = 40, .repeatWindowMs = 60, .tapFrames = 3}},
};

bool OneOf(std::span<const std::uint8_t> set, std::uint8_t value) {
  for (std::uint8_t v : set) {
    if (v == value) return true;
  }
  return false;
}

}  // namespace

bool FirstBytes::Match(std::uint8_t r0, std::uint8_t r1) const { return OneOf(first, r0) && OneOf(second, r1); }

bool FirstBytes::Leads(std::uint8_t byte) const { return OneOf(first, byte); }

const FormatRecord* FindFormat(const char* code) {
  if (code == nullptr) return nullptr;
  for (const FormatRecord& f : kFormats) {
    // The second character is read only when the first matched, so it exists.
    if (code[0] == f.code[0] && code[1] == f.code[1]) return &f;
  }
  return nullptr;
}

const FormatRecord& KnownFormat(const char* code) {
  const FormatRecord* f = FindFormat(code);
  return f != nullptr ? *f : kFormats[0];
}

}  // namespace kestrel
