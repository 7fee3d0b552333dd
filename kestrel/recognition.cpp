#include "kestrel/recognition.h"

#include <cstdio>
#include <cstring>

#include "kestrel/format_records.h"
#include "kestrel/level_picture.h"

namespace kestrel {
namespace {

constexpr char kAgain[] = "AGAIN";
constexpr char kNoticeCaption[] = "Notice!";
constexpr char kPanasonicNew[] =
    "These signals are perhapps Panasonic new format!\nThis type can not control through IrDA port!\n"
    "You must use Alps IR Multi Station or Hal Corp. Crossam2+!";
constexpr char kPanasonicOld[] =
    "These signals are perhapps Panasonic too old format!\nThis type can not control through IrDA port!\n"
    "You must use Alps IR Multi Station or Hal Corp. Crossam2+!";
constexpr char kMitsubishiEnhanced[] =
    "These signals are perhapps Mitsubishi enhanced format!\nThis type can not control through IrDA port!\n"
    "You must use Alps IR Multi Station or Hal Corp. Crossam2+!";
constexpr char kSonyEnhanced[] =
    "These signals are perhapps Sony enhanced format!\nThis type can not control through IrDA port!\n"
    "You must use Alps IR Multi Station or Hal Corp. Crossam2+!";

// A first-pass capture with fewer bits is not looked at (an NEC frame has 32).
constexpr std::size_t kShortestFirstPass = 30;

// Pioneer devices, as group halves in transmission order: an NEC-timed frame with
// one of these groups is a Pioneer one, whose first data bit NEC timing may miss.
constexpr const char* kPioneerGroups[] = {"01010101", "11010101", "01100101",
                                          "10000101", "01000101", "00010101"};

// Panasonic frames read at the first pass's speed begin with one of these.
constexpr const char* kPanasonicPrefixes[] = {"0?1?0?0?1", "0?110?1?0", "0?10?1?0?", "110?1?10?",
                                              "110?1?11",  "10?1?10?",  "0?1?110?",  "0?1?0?10?"};

// Third bytes that, after the leader's 0x00, tell the newer Panasonic kind by the
// second and third bytes alone: (second, third).
constexpr std::uint8_t kNewPanasonic[][2] = {{0xFF, 0x50}, {0xFF, 0x60}, {0x70, 0x78}, {0x70, 0xF8}, {0xF0, 0x70},
                                             {0xF0, 0xF0}, {0xC4, 0x44}, {0xC4, 0xCC}, {0xC4, 0xC4}};

// A capture whose bytes do not show Sony's rhythm is still taken as Sony when its
// first bits, read at the first pass's speed, hold no "1".
constexpr int kSonyQuietBits = 11;

// A Panasonic frame at its own speed has some decided bit equal to the one this
// far on; when none is, the remote is of the older kind the port cannot follow.
constexpr int kPanasonicRepeatAt = 12;

// A Mitsubishi frame whose bit here is the inverse of its last key bit is of
// the enhanced kind.
constexpr int kMitsubishiEnhancedAt = 32;

// At its own speed a Pioneer frame's data may sit up to this many bits later
// than the record's dataAt; at least kPioneerMatches of the kept data bits 1 to 7
// must be found there.
constexpr int kPioneerDrift = 2;
constexpr int kPioneerMatches = 4;

// A Sharp group bit that no capture decided, taken as "0".
constexpr int kSharpAssumedZero = 3;

// A half of the code: bits in transmission order, a text up to the first zero.
struct Half {
  char c[kStoredHalfSize + 1] = {};

  std::size_t Length() const { return strnlen(c, kStoredHalfSize); }
  bool Undecided() const { return std::memchr(c, '?', Length()) != nullptr; }
  bool Is(const char* text) const { return std::strcmp(c, text) == 0; }
  // Read as base 2 with the last character the most significant, up to the first
  // character (from the end) that is not a bit.
  unsigned long Value() const {
    unsigned long v = 0;
    for (std::size_t i = Length(); i-- > 0;) {
      if (c[i] != '0' && c[i] != '1') break;
      v = (v << 1) | static_cast<unsigned long>(c[i] - '0');
    }
    return v;
  }
};

bool Known(char c) { return c == '0' || c == '1'; }
char Inverse(char c) { return c == '0' ? '1' : '0'; }

// A bit and its transmitted inverse: equal known bits contradict each other.
char Complement(char x, char y) {
  if (x == '0') return y == '0' ? '?' : '0';
  if (x == '1') return y == '1' ? '?' : '1';
  if (x == '?') return Known(y) ? Inverse(y) : '?';
  return x;
}

// The most dark samples in a row among a byte's eight data bits (a 1 bit is the
// line dark).
int LongestDark(std::uint8_t byte) {
  int longest = 0;
  for (int run = 0, i = 0; i < 8; ++i) {
    run = (byte >> i) & 1 ? run + 1 : 0;
    if (run > longest) longest = run;
  }
  return longest;
}

// The first bit unless it is undecided.
char Merge(char first, char second) { return first != '?' ? first : second; }

void Store(const Half& h, char (&stored)[kStoredHalfSize]) {
  std::size_t n = h.Length();
  if (n > kStoredHalfSize - 1) n = kStoredHalfSize - 1;
  std::memcpy(stored, h.c, n);
  stored[n] = '\0';
}

class Recogniser {
 public:
  Recogniser(const std::string& bits, const RawStart& raw, RecognitionView s) : Bits(bits), Raw(raw), State(s) {}

  CaptureOutcome Run(const FormatRecord& f) {
    switch (f.recognition) {
      case Recognition::Classify: return Classify(f);
      case Recognition::Mitsubishi: return Mitsubishi(f);
      case Recognition::Merge: return MergePass(f);
      case Recognition::MergeChecked: return MergeCheckedPass(f);
      case Recognition::Pioneer: return Pioneer(f);
      case Recognition::Panasonic: return Panasonic(f);
      case Recognition::Sony: return Sony(f);
      case Recognition::Sharp: return Sharp(f);
      case Recognition::Presence: return Complete(f.completesAs);
    }
    return Unchanged();
  }

 private:
  char b(std::size_t i) const { return At(Bits, i); }
  // A bit, or where it was lost, its copy `copyAt` bits on (as sent, or inverted).
  char OrCopy(int i, int copyAt) const { return b(i) == '?' ? b(i + copyAt) : b(i); }
  char OrInverseCopy(int i, int copyAt) const {
    return b(i) == '?' && Known(b(i + copyAt)) ? Inverse(b(i + copyAt)) : b(i);
  }
  // Every bit of a frame that starts at bit 0 equals its copy.
  bool Repeated(const FrameLayout& f) const {
    for (int i = 0; i < f.End(); ++i) {
      if (b(i) != b(i + f.copyAt)) return false;
    }
    return true;
  }

  CaptureOutcome Unchanged() { return Outcome; }
  CaptureOutcome Write(const char* text) {
    Outcome.writeCode = true;
    std::size_t n = strnlen(text, sizeof Outcome.code - 1);
    std::memcpy(Outcome.code, text, n);
    Outcome.code[n] = '\0';
    return Outcome;
  }
  CaptureOutcome Again(const char* next) {
    SetPrefix(State, next);
    return Write(kAgain);
  }
  CaptureOutcome Abandon() {
    ResetBoth();
    SetPrefix(State, kFirstPass);
    return Write("");
  }
  void Show(const std::string& text, const char* caption, unsigned style) {
    Outcome.hasMessage = true;
    Outcome.message = Message{text, caption, style};
  }
  void ResetBoth() {
    ResetHalf(State.StoredGroup);
    ResetHalf(State.StoredData);
  }
  void StoreBoth() {
    Store(GroupHalf, State.StoredGroup);
    Store(DataHalf, State.StoredData);
  }
  bool Undecided() const { return GroupHalf.Undecided() || DataHalf.Undecided(); }
  // The code string names the format by its two letters only: a caller's longer
  // text in CodePrefix must not lengthen it past the caller's buffer.
  CaptureOutcome Complete(const char* code) {
    char letters[3] = {code[0], code[1], '\0'};
    // A group holds at most 8 bits and data at most 10 (Sharp); the masks keep the
    // text within nine characters whatever the halves hold.
    std::snprintf(Outcome.code, sizeof Outcome.code, "%s %02lx %02lx", letters, GroupHalf.Value() & 0xFFul,
                  DataHalf.Value() & 0x3FFul);
    Outcome.writeCode = true;
    Outcome.result = 1;
    SetPrefix(State, kFirstPass);
    return Outcome;
  }
  // While a bit is undecided the halves are kept for the next pass; else the
  // code is complete and nothing is kept.
  CaptureOutcome KeepOrComplete(const FormatRecord& f) {
    if (Undecided()) {
      StoreBoth();
      return Again(f.again);
    }
    ResetBoth();
    return Complete(f.completesAs);
  }
  bool PioneerGroup() const {
    for (const char* g : kPioneerGroups) if (GroupHalf.Is(g)) return true;
    return false;
  }
  // Both halves as this capture has them.
  void Take(const FrameLayout& f) {
    for (int i = 0; i < f.groupBits; ++i) GroupHalf.c[i] = b(f.groupAt + i);
    for (int i = 0; i < f.dataBits; ++i) DataHalf.c[i] = b(f.dataAt + i);
  }
  // Both halves from bits each followed, f.copyAt later, by their inverse.
  void TakeComplemented(const FrameLayout& f) {
    for (int i = 0; i < f.groupBits; ++i) GroupHalf.c[i] = Complement(b(f.groupAt + i), b(f.groupAt + i + f.copyAt));
    for (int i = 0; i < f.dataBits; ++i) DataHalf.c[i] = Complement(b(f.dataAt + i), b(f.dataAt + i + f.copyAt));
  }
  // Stored halves filled in from this capture's bits.
  void MergeStored(const FrameLayout& f) {
    for (int i = 0; i < f.groupBits; ++i) GroupHalf.c[i] = Merge(State.StoredGroup[i], b(f.groupAt + i));
    for (int i = 0; i < f.dataBits; ++i) DataHalf.c[i] = Merge(State.StoredData[i], b(f.dataAt + i));
  }
  // Two captures that decided the same bit differently.
  bool Conflict(const FrameLayout& f) const {
    auto differ = [](char kept, char fresh) { return Known(kept) && Known(fresh) && kept != fresh; };
    for (int i = 0; i < f.groupBits; ++i) {
      if (differ(State.StoredGroup[i], b(f.groupAt + i))) return true;
    }
    for (int i = 0; i < f.dataBits; ++i) {
      if (differ(State.StoredData[i], b(f.dataAt + i))) return true;
    }
    return false;
  }

  bool FirstFrameRhythm(const FormatRecord& f) const;
  CaptureOutcome Classify(const FormatRecord& f);
  CaptureOutcome Mitsubishi(const FormatRecord& f);
  CaptureOutcome MergePass(const FormatRecord& f);
  CaptureOutcome MergeCheckedPass(const FormatRecord& f);
  CaptureOutcome Pioneer(const FormatRecord& f);
  CaptureOutcome Panasonic(const FormatRecord& f);
  CaptureOutcome Sony(const FormatRecord& f);
  CaptureOutcome Sharp(const FormatRecord& f);
  bool SharpCandidates(std::string& text);

  const std::string& Bits;
  const RawStart& Raw;
  RecognitionView State;
  Half GroupHalf;
  Half DataHalf;
  CaptureOutcome Outcome;
};

// The capture opens with a whole frame of the format's first-pass rhythm: its
// first two bytes, its length, no long dark inside it, and the next leader.
bool Recogniser::FirstFrameRhythm(const FormatRecord& f) const {
  const FirstPassRhythm& rhythm = f.rhythm;
  const std::span<const std::uint8_t> c = Raw.bytes;
  if (rhythm.bytes == 0 || c.size() < 2 || !f.firstBytes.Match(c[0], c[1])) return false;
  std::size_t next = 1;
  while (next < c.size() && !f.firstBytes.Leads(c[next])) ++next;
  if (next == c.size() || next - 1 < static_cast<std::size_t>(rhythm.bytes)) return false;
  for (std::size_t i = 1; i + 1 < next; ++i) {
    if (LongestDark(c[i]) > rhythm.longestDark) return false;
  }
  return true;
}

CaptureOutcome Recogniser::Classify(const FormatRecord& f) {
  if (Bits.size() < kShortestFirstPass) return Unchanged();

  // JVC: the frame comes again one bit later, after a long leader.
  const FormatRecord& jvc = KnownFormat("J1");
  if (jvc.firstBytes.Match(Raw.r0, Raw.r1) && b(jvc.frame.End()) != '0' && Repeated(jvc.frame)) {
    Take(jvc.frame);
    StoreBoth();
    return Again(jvc.code);
  }

  // Sharp: the group comes again one bit after the frame, the data inverted.
  const FormatRecord& sharp = KnownFormat("SH");
  const FrameLayout& sh = sharp.frame;
  bool isSharp = sharp.firstBytes.Match(Raw.r0, Raw.r1) && b(sh.End()) != '0';
  for (int i = sh.groupAt; isSharp && i < sh.groupAt + sh.groupBits; ++i) isSharp = b(i) == b(i + sh.copyAt);
  for (int i = sh.dataAt; isSharp && i < sh.dataAt + sh.dataBits; ++i) {
    isSharp = b(i) != b(i + sh.copyAt) || (b(i) == '?' && b(i + sh.copyAt) == '?');
  }
  if (isSharp) {
    for (int i = 0; i < sh.groupBits; ++i) GroupHalf.c[i] = b(sh.groupAt + i);
    for (int i = 0; i < sh.dataBits; ++i) DataHalf.c[i] = OrInverseCopy(sh.dataAt + i, sh.copyAt);
    StoreBoth();
    return Again(sharp.code);
  }

  // Sony by the rhythm of its bytes: its own bits at this speed may read as
  // NEC "1"s, and its second and third bytes may look like Panasonic ones.
  const FormatRecord& sony = KnownFormat("SO");
  if (FirstFrameRhythm(sony)) {
    ResetBoth();
    return Again(sony.code);
  }

  const FormatRecord& panasonic = KnownFormat("PA");
  if (panasonic.firstBytes.Match(Raw.r0, Raw.r1)) {
    for (const char* p : kPanasonicPrefixes) {
      if (Bits.compare(0, std::strlen(p), p) == 0) return Again(panasonic.code);
    }
  }

  if (Raw.r0 == 0x00) {
    for (const auto& pair : kNewPanasonic) {
      if (Raw.r1 == pair[0] && Raw.r2 == pair[1]) {
        Show(kPanasonicNew, kNoticeCaption, kNoticeStyle);
        return Unchanged();
      }
    }
  }

  bool isSony = sony.firstBytes.Match(Raw.r0, Raw.r1);
  for (int i = 0; isSony && i < kSonyQuietBits; ++i) isSony = b(i) != '1';
  if (isSony) {
    ResetBoth();
    return Again(sony.code);
  }

  // NEC, or Pioneer by its group.
  TakeComplemented(f.frame);
  if (GroupHalf.Undecided()) return Unchanged();
  const FormatRecord& pioneer = KnownFormat("PI");
  if (DataHalf.Undecided()) {
    if (DataHalf.c[0] == '?' && std::memchr(DataHalf.c + 1, '?', DataHalf.Length() - 1) == nullptr && PioneerGroup()) {
      StoreBoth();
      return Again(pioneer.code);
    }
    return Unchanged();
  }
  return Complete(PioneerGroup() ? pioneer.completesAs : f.completesAs);
}

CaptureOutcome Recogniser::Mitsubishi(const FormatRecord& f) {
  Take(f.frame);
  char last = b(f.frame.dataAt + f.frame.dataBits - 1);
  char enhanced = b(kMitsubishiEnhancedAt);
  if (Known(last) && Known(enhanced) && last != enhanced) Show(kMitsubishiEnhanced, kNoticeCaption, kNoticeStyle);
  return KeepOrComplete(f);
}

CaptureOutcome Recogniser::MergePass(const FormatRecord& f) {
  MergeStored(f.frame);
  return KeepOrComplete(f);
}

CaptureOutcome Recogniser::MergeCheckedPass(const FormatRecord& f) {
  if (Conflict(f.frame)) return Again(f.again);
  MergeStored(f.frame);
  if (f.undecidedIsZero) {
    for (int i = 0; i < f.frame.groupBits; ++i) GroupHalf.c[i] = Merge(GroupHalf.c[i], '0');
    for (int i = 0; i < f.frame.dataBits; ++i) DataHalf.c[i] = Merge(DataHalf.c[i], '0');
  } else if (Undecided()) {
    return Abandon();
  }
  ResetBoth();
  return Complete(f.completesAs);
}

CaptureOutcome Recogniser::Pioneer(const FormatRecord& f) {
  // Find where data bits 1 to 7 of the stored half sit in this capture; a later
  // start wins a tie.
  int start = f.frame.dataAt;
  int bestCount = -1;
  for (int at = f.frame.dataAt; at <= f.frame.dataAt + kPioneerDrift; ++at) {
    int count = 0;
    for (int k = 1; k < f.frame.dataBits; ++k) count += b(at + k) == State.StoredData[k];
    if (count >= bestCount) {
      start = at;
      bestCount = count;
    }
  }
  // CodePrefix already names this pass, so it is left as it is.
  if (bestCount < kPioneerMatches || b(start) == '?') return Write(kAgain);
  for (int i = 0; i < f.frame.groupBits; ++i) GroupHalf.c[i] = State.StoredGroup[i];
  for (int k = 0; k < f.frame.dataBits; ++k) DataHalf.c[k] = Merge(State.StoredData[k], b(start + k));
  return Complete(f.completesAs);
}

CaptureOutcome Recogniser::Panasonic(const FormatRecord& f) {
  bool framed = false;
  for (int i = 0; i < kPanasonicRepeatAt && !framed; ++i) framed = Known(b(i)) && b(i) == b(i + kPanasonicRepeatAt);
  if (!framed) Show(kPanasonicOld, kNoticeCaption, kNoticeStyle);
  TakeComplemented(f.frame);
  if (Undecided()) {
    ResetBoth();
    SetPrefix(State, kFirstPass);
    return Unchanged();
  }
  return Complete(f.completesAs);
}

CaptureOutcome Recogniser::Sony(const FormatRecord& f) {
  // The frame comes again after one "1".
  if (b(f.frame.End()) == '1' && Repeated(f.frame)) {
    Take(f.frame);
    return Complete(f.completesAs);
  }
  if (b(f.enhanced.End()) == '1' && Repeated(f.enhanced)) {
    Take(f.enhanced);
    Show(kSonyEnhanced, kNoticeCaption, kNoticeStyle);
    return Complete(f.completesAs);
  }
  return Abandon();
}

CaptureOutcome Recogniser::Sharp(const FormatRecord& f) {
  const FrameLayout& sh = f.frame;
  for (int i = 0; i < sh.groupBits; ++i) GroupHalf.c[i] = Merge(OrCopy(sh.groupAt + i, sh.copyAt), State.StoredGroup[i]);
  if (GroupHalf.c[kSharpAssumedZero] == '?') GroupHalf.c[kSharpAssumedZero] = '0';
  for (int i = 0; i < sh.dataBits; ++i) DataHalf.c[i] = Merge(OrInverseCopy(sh.dataAt + i, sh.copyAt), State.StoredData[i]);
  if (!GroupHalf.Undecided()) Store(GroupHalf, State.StoredGroup);
  if (!Undecided()) {
    // The group stays for the next Sharp button of the same remote.
    ResetHalf(State.StoredData);
    return Complete(f.completesAs);
  }

  std::string text;
  if (!SharpCandidates(text)) {
    SetPrefix(State, kFirstPass);
    return Unchanged();
  }
  Show(text, GroupHalf.Undecided() && !DataHalf.Undecided() ? "Sharp Data I-48-5" : "Sharp Data I-48-4",
       kCandidateStyle);
  ResetHalf(State.StoredData);
  SetPrefix(State, kFirstPass);
  return Unchanged();
}

// Every value a half can take with its undecided bits (one or two) filled in,
// highest undecided bit first, joined by " or ". False for three or more.
bool Candidates(const Half& h, std::string& list) {
  std::size_t undecided[2];
  int count = 0;
  for (std::size_t i = h.Length(); i-- > 0;) {
    if (h.c[i] != '?') continue;
    if (count == 2) return false;
    undecided[count++] = i;
  }
  for (int v = 0; v < (1 << count); ++v) {
    Half filled = h;
    for (int k = 0; k < count; ++k) filled.c[undecided[k]] = (v >> (count - 1 - k)) & 1 ? '1' : '0';
    char value[16];
    std::snprintf(value, sizeof value, "%02lx", filled.Value());
    if (v > 0) list += " or ";
    list += value;
  }
  return true;
}

bool Recogniser::SharpCandidates(std::string& text) {
  char value[16];
  std::string groupList;
  std::string dataList;
  if (GroupHalf.Undecided() && !Candidates(GroupHalf, groupList)) {
    ResetBoth();
    return false;
  }
  if (DataHalf.Undecided() && !Candidates(DataHalf, dataList)) {
    ResetHalf(State.StoredData);
    return false;
  }
  if (GroupHalf.Undecided()) {
    text = "This is Sharp format!\nGroup=" + groupList;
    if (DataHalf.Undecided()) {
      text += "\nData =" + dataList;
    } else {
      std::snprintf(value, sizeof value, "\nData =%02lx", DataHalf.Value());
      text += value;
    }
  } else {
    std::snprintf(value, sizeof value, "%02lx", GroupHalf.Value());
    text = std::string("This is Sharp format!\nGroup=") + value + "\nData =" + dataList;
  }
  return true;
}

}  // namespace

CaptureOutcome Recognise(const std::string& bits, const RawStart& raw, const FormatRecord& format,
                         RecognitionView s) {
  return Recogniser(bits, raw, s).Run(format);
}

}  // namespace kestrel
