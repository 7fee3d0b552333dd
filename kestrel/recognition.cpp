#include "kestrel/recognition.h"

#include <cstdio>
#include <cstring>

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

// Pioneer devices, as group halves in transmission order: an NEC-timed frame with
// one of these groups is a Pioneer one, whose first data bit NEC timing may miss.
constexpr const char* kPioneerGroups[] = {"01010101", "11010101", "01100101",
                                          "10000101", "01000101", "00010101"};

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

char Merge(char stored, char fresh) { return stored != '?' ? stored : fresh; }

void Store(const Half& h, char (&stored)[kStoredHalfSize]) {
  std::size_t n = h.Length();
  if (n > kStoredHalfSize - 1) n = kStoredHalfSize - 1;
  std::memcpy(stored, h.c, n);
  stored[n] = '\0';
}

class Recogniser {
 public:
  Recogniser(const std::string& bits, const RawStart& raw, RecognitionState& s) : bits_(bits), raw_(raw), s_(s) {}

  CaptureOutcome Run() {
    if (Prefix("NE")) return Ne();
    if (Prefix("J1")) return J1();
    if (Prefix("J2")) return J2();
    if (Prefix("SH")) return Sharp();
    if (Prefix("PI")) return Pi();
    if (Prefix("PA")) return Pa();
    if (Prefix("M0")) return M0();
    if (Prefix("M1")) return M1();
    if (Prefix("M2")) return M2();
    if (Prefix("SO")) return Sony();
    if (Prefix("JV") || Prefix("MI")) return Complete(s_.CodePrefix);
    return Unchanged();
  }

 private:
  char b(std::size_t i) const { return At(bits_, i); }
  bool Prefix(const char* code) const { return std::strncmp(s_.CodePrefix, code, 2) == 0; }
  bool R1In(std::initializer_list<std::uint8_t> set) const {
    for (std::uint8_t v : set) if (raw_.r1 == v) return true;
    return false;
  }

  CaptureOutcome Unchanged() { return out_; }
  CaptureOutcome Write(const char* text) {
    out_.writeCode = true;
    std::size_t n = strnlen(text, sizeof out_.code - 1);
    std::memcpy(out_.code, text, n);
    out_.code[n] = '\0';
    return out_;
  }
  CaptureOutcome Again(const char* next) {
    SetPrefix(s_, next);
    return Write(kAgain);
  }
  CaptureOutcome Abandon() {
    ResetBoth();
    SetPrefix(s_, "NE");
    return Write("");
  }
  void Show(const std::string& text, const char* caption, unsigned style) {
    out_.hasMessage = true;
    out_.message = Message{text, caption, style};
  }
  void ResetBoth() {
    ResetHalf(s_.StoredGroup);
    ResetHalf(s_.StoredData);
  }
  void StoreBoth() {
    Store(group_, s_.StoredGroup);
    Store(data_, s_.StoredData);
  }
  // The code string names the format by its two letters only: a caller's longer
  // text in CodePrefix must not lengthen it past the caller's buffer.
  CaptureOutcome Complete(const char* code) {
    char letters[3] = {code[0], code[1], '\0'};
    // A group holds at most 8 bits and data at most 10 (Sharp); the masks keep the
    // text within nine characters whatever the halves hold.
    std::snprintf(out_.code, sizeof out_.code, "%s %02lx %02lx", letters, group_.Value() & 0xFFul,
                  data_.Value() & 0x3FFul);
    out_.writeCode = true;
    out_.result = 1;
    SetPrefix(s_, "NE");
    return out_;
  }
  bool PioneerGroup() const {
    for (const char* g : kPioneerGroups) if (group_.Is(g)) return true;
    return false;
  }
  // Stored halves filled in from this capture's bits.
  void MergeStored() {
    for (int i = 0; i < 8; ++i) {
      group_.c[i] = Merge(s_.StoredGroup[i], b(i));
      data_.c[i] = Merge(s_.StoredData[i], b(8 + i));
    }
  }
  // Two captures that decided the same bit differently.
  bool Conflict() const {
    for (int i = 0; i < 8; ++i) {
      if (Known(s_.StoredGroup[i]) && Known(b(i)) && s_.StoredGroup[i] != b(i)) return true;
      if (Known(s_.StoredData[i]) && Known(b(8 + i)) && s_.StoredData[i] != b(8 + i)) return true;
    }
    return false;
  }

  CaptureOutcome Ne();
  CaptureOutcome J1();
  CaptureOutcome J2();
  CaptureOutcome M0();
  CaptureOutcome M1();
  CaptureOutcome M2();
  CaptureOutcome Pi();
  CaptureOutcome Pa();
  CaptureOutcome Sony();
  CaptureOutcome Sharp();
  bool SharpCandidates(std::string& text, bool& dataOnly);

  const std::string& bits_;
  const RawStart& raw_;
  RecognitionState& s_;
  Half group_;
  Half data_;
  CaptureOutcome out_;
};

CaptureOutcome Recogniser::Ne() {
  if (bits_.size() < 30) return Unchanged();

  // JVC: the frame repeats 17 bits later, and starts after a long leader.
  bool jvc = raw_.r0 == 0x00 && R1In({0x08, 0x0C, 0xF8, 0xFC}) && b(16) != '0';
  for (int i = 0; jvc && i <= 15; ++i) jvc = b(i) == b(i + 17);
  if (jvc) {
    for (int i = 0; i < 8; ++i) {
      group_.c[i] = b(i);
      data_.c[i] = b(8 + i);
    }
    StoreBoth();
    return Again("J1");
  }

  // Sharp: 5 group bits repeat 16 bits later, the 10 data bits come back inverted.
  auto sharpByte = [](std::uint8_t v) { return v == 0xFE || v == 0xCE || v == 0xEE || v == 0xE6 || v == 0xE7; };
  bool sharp = sharpByte(raw_.r0) && sharpByte(raw_.r1) && b(15) != '0';
  for (int i = 0; sharp && i <= 4; ++i) sharp = b(i) == b(i + 16);
  for (int i = 5; sharp && i <= 14; ++i) sharp = b(i) != b(i + 16) || (b(i) == '?' && b(i + 16) == '?');
  if (sharp) {
    for (int i = 0; i <= 4; ++i) group_.c[i] = b(i);
    for (int i = 5; i <= 14; ++i) {
      char c = b(i);
      if (c == '?' && Known(b(i + 16))) c = Inverse(b(i + 16));
      data_.c[i - 5] = c;
    }
    StoreBoth();
    return Again("SH");
  }

  static constexpr const char* kPanasonicPrefixes[] = {"0?1?0?0?1", "0?110?1?0", "0?10?1?0?", "110?1?10?",
                                                       "110?1?11",  "10?1?10?",  "0?1?110?",  "0?1?0?10?"};
  if (raw_.r0 == 0x00 && R1In({0x70, 0xF0, 0x78})) {
    for (const char* p : kPanasonicPrefixes) {
      if (bits_.compare(0, std::strlen(p), p) == 0) return Again("PA");
    }
  }

  static constexpr std::uint8_t kNewPanasonic[][2] = {{0xFF, 0x50}, {0xFF, 0x60}, {0x70, 0x78},
                                                      {0x70, 0xF8}, {0xF0, 0x70}, {0xF0, 0xF0},
                                                      {0xC4, 0x44}, {0xC4, 0xCC}, {0xC4, 0xC4}};
  if (raw_.r0 == 0x00) {
    for (const auto& pair : kNewPanasonic) {
      if (raw_.r1 == pair[0] && raw_.r2 == pair[1]) {
        Show(kPanasonicNew, kNoticeCaption, kNoticeStyle);
        return Unchanged();
      }
    }
  }

  // After the leader's 0x00, the second byte at 4800 baud is where the first
  // data marks fall. Nominal frames give 0x1C or 0xE0; real remotes hold their
  // marks 100 us shorter to 200 us longer than nominal, and the capture meets the
  // frame at any moment, which gives the other six (every value the synthesizer's
  // Sony 12- and 15-bit presses give over that range).
  bool sony = raw_.r0 == 0x00 && R1In({0x18, 0x1C, 0x1E, 0x9C, 0x9E, 0xC0, 0xE0, 0xF0});
  for (int i = 0; sony && i <= 10; ++i) sony = b(i) != '1';
  if (sony) {
    ResetBoth();
    return Again("SO");
  }

  // NEC: each byte is followed by its inverse.
  for (int i = 0; i <= 7; ++i) group_.c[i] = Complement(b(i), b(i + 8));
  for (int i = 16; i <= 23; ++i) data_.c[i - 16] = Complement(b(i), b(i + 8));
  if (group_.Undecided()) return Unchanged();
  if (data_.Undecided()) {
    if (data_.c[0] == '?' && std::memchr(data_.c + 1, '?', data_.Length() - 1) == nullptr && PioneerGroup()) {
      StoreBoth();
      return Again("PI");
    }
    return Unchanged();
  }
  return Complete(PioneerGroup() ? "PI" : "NE");
}

CaptureOutcome Recogniser::J1() {
  MergeStored();
  if (group_.Undecided() || data_.Undecided()) {
    StoreBoth();
    return Again("J2");
  }
  ResetBoth();
  return Complete("JV");
}

CaptureOutcome Recogniser::J2() {
  if (Conflict()) return Again("J2");
  MergeStored();
  if (group_.Undecided() || data_.Undecided()) return Abandon();
  ResetBoth();
  return Complete("JV");
}

CaptureOutcome Recogniser::M0() {
  for (int i = 0; i < 8; ++i) {
    group_.c[i] = b(i);
    data_.c[i] = b(8 + i);
  }
  if ((b(15) == '0' && b(32) == '1') || (b(15) == '1' && b(32) == '0')) {
    Show(kMitsubishiEnhanced, kNoticeCaption, kNoticeStyle);
  }
  if (group_.Undecided() || data_.Undecided()) {
    StoreBoth();
    return Again("M1");
  }
  ResetBoth();
  return Complete("MI");
}

CaptureOutcome Recogniser::M1() {
  MergeStored();
  if (group_.Undecided() || data_.Undecided()) {
    StoreBoth();
    return Again("M2");
  }
  ResetBoth();
  return Complete("MI");
}

CaptureOutcome Recogniser::M2() {
  if (Conflict()) return Again("M2");
  MergeStored();
  // Third capture: a bit nobody saw is taken as 0 rather than asking forever.
  for (int i = 0; i < 8; ++i) {
    if (group_.c[i] == '?') group_.c[i] = '0';
    if (data_.c[i] == '?') data_.c[i] = '0';
  }
  ResetBoth();
  return Complete("MI");
}

CaptureOutcome Recogniser::Pi() {
  // Find where data bits 1 to 7 of the stored half sit in this capture.
  int best = 16;
  int bestCount = -1;
  for (int s = 16; s <= 18; ++s) {
    int count = 0;
    for (int k = 0; k <= 6; ++k) count += b(s + k) == s_.StoredData[1 + k];
    if (count >= bestCount) {
      best = s;
      bestCount = count;
    }
  }
  if (bestCount <= 3 || b(best - 1) == '?') return Write(kAgain);
  for (int i = 0; i < 8; ++i) group_.c[i] = s_.StoredGroup[i];
  for (int k = 0; k < 8; ++k) data_.c[k] = s_.StoredData[k] != '?' ? s_.StoredData[k] : b(best - 1 + k);
  return Complete("PI");
}

CaptureOutcome Recogniser::Pa() {
  bool framed = false;
  for (int i = 0; i <= 11 && !framed; ++i) framed = Known(b(i)) && b(i) == b(i + 12);
  if (!framed) Show(kPanasonicOld, kNoticeCaption, kNoticeStyle);
  for (int i = 0; i <= 4; ++i) group_.c[i] = Complement(b(i), b(i + 11));
  for (int i = 5; i <= 10; ++i) data_.c[i - 5] = Complement(b(i), b(i + 11));
  if (group_.Undecided() || data_.Undecided()) {
    ResetBoth();
    SetPrefix(s_, "NE");
    return Unchanged();
  }
  return Complete("PA");
}

CaptureOutcome Recogniser::Sony() {
  bool twelve = b(12) == '1';
  for (int i = 0; twelve && i <= 11; ++i) twelve = b(i) == b(i + 13);
  if (twelve) {
    for (int i = 0; i <= 6; ++i) data_.c[i] = b(i);
    for (int i = 7; i <= 11; ++i) group_.c[i - 7] = b(i);
    return Complete("SO");
  }
  bool fifteen = b(15) == '1';
  for (int i = 0; fifteen && i <= 14; ++i) fifteen = b(i) == b(i + 16);
  if (fifteen) {
    for (int i = 0; i <= 6; ++i) data_.c[i] = b(i);
    for (int i = 7; i <= 14; ++i) group_.c[i - 7] = b(i);
    Show(kSonyEnhanced, kNoticeCaption, kNoticeStyle);
    return Complete("SO");
  }
  return Abandon();
}

CaptureOutcome Recogniser::Sharp() {
  for (int i = 0; i <= 4; ++i) {
    char c = b(i) == '?' ? b(i + 16) : b(i);
    group_.c[i] = c == '?' ? s_.StoredGroup[i] : c;
  }
  if (group_.c[3] == '?') group_.c[3] = '0';
  for (int i = 5; i <= 14; ++i) {
    char c = b(i);
    if (c == '?' && Known(b(i + 16))) c = Inverse(b(i + 16));
    data_.c[i - 5] = c == '?' ? s_.StoredData[i - 5] : c;
  }
  if (!group_.Undecided()) Store(group_, s_.StoredGroup);
  if (!group_.Undecided() && !data_.Undecided()) {
    // The group stays for the next Sharp button of the same remote.
    ResetHalf(s_.StoredData);
    return Complete("SH");
  }

  std::string text;
  bool dataOnly = false;
  if (!SharpCandidates(text, dataOnly)) {
    SetPrefix(s_, "NE");
    return Unchanged();
  }
  Show(text, group_.Undecided() && !data_.Undecided() ? "Sharp Data I-48-5" : "Sharp Data I-48-4",
       kCandidateStyle);
  ResetHalf(s_.StoredData);
  SetPrefix(s_, "NE");
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

bool Recogniser::SharpCandidates(std::string& text, bool& dataOnly) {
  char value[16];
  std::string groupList;
  std::string dataList;
  if (group_.Undecided() && !Candidates(group_, groupList)) {
    ResetBoth();
    return false;
  }
  if (data_.Undecided() && !Candidates(data_, dataList)) {
    ResetHalf(s_.StoredData);
    return false;
  }
  dataOnly = !group_.Undecided();
  if (group_.Undecided()) {
    text = "This is Sharp format!\nGroup=" + groupList;
    if (data_.Undecided()) {
      text += "\nData =" + dataList;
    } else {
      std::snprintf(value, sizeof value, "\nData =%02lx", data_.Value());
      text += value;
    }
  } else {
    std::snprintf(value, sizeof value, "%02lx", group_.Value());
    text = std::string("This is Sharp format!\nGroup=") + value + "\nData =" + dataList;
  }
  return true;
}

}  // namespace

CaptureOutcome Recognise(const std::string& bits, const RawStart& raw, RecognitionState& s) {
  return Recogniser(bits, raw, s).Run();
}

}  // namespace kestrel
