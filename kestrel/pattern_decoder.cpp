#include <cstring>

#include "kestrel/decoders.h"
#include "kestrel/level_picture.h"

namespace kestrel {
namespace {

// Patterns at p, tried in this order (the stop pattern only where a stage has it):
//   "-" "_" "_"  stop: the frame is over               -> stage ends
//   "-" "-"      "0"   1 bit                           -> p + 1
//   "-" "_" "-"  "1"   1 bit                           -> p + 2
//   "-" "?"      "?"   1 bit ("??", 2 bits, p + 3 where a stage loses pairs) -> p + 2
//   "-" "_" "?"  "1?"  2 bits                          -> p + 3
//   otherwise    nothing                               -> p + 1
struct Stage {
  int first, last;  // positions a pattern may start at
  bool stop;        // "-" "_" "_" ends the stage
  int limit;        // bits the frame may hold once the stage is done (0: no limit)
  bool lostPair;    // a byte end right after light hides two bits, not one
};

struct PatternTable {
  char code[3];
  Stage stage1;
  Stage stage2;
  Stage junction;  // stage 3, behind the gap; first == 0: none
};

constexpr int kJunctionLimit = 16;

constexpr PatternTable kPatternTables[] = {
    {"J2", {10, 19, false, 0, false}, {20, 29, true, 16, false}, {30, 49, true, kJunctionLimit, false}},
    {"M2", {0, 9, false, 0, true}, {10, 19, true, 16, false}, {20, 39, true, kJunctionLimit, false}},
    {"PI", {10, 59, true, 32, false}, {0, -1, false, 0, false}, {0, -1, false, 0, false}},
};

// Counts bits into `count` (the frame's running total) and appends them to `out`
// unless it is null (a dry run). A bit past the limit ends the stage unappended,
// with the count held at the limit.
class Scanner {
 public:
  Scanner(const std::string& picture, const Stage& stage, int& count, std::string* out)
      : picture_(picture), stage_(stage), count_(count), out_(out) {}

  void Run() {
    for (int p = stage_.first; p <= stage_.last;) {
      char a = At(picture_, p), b = At(picture_, p + 1), c = At(picture_, p + 2);
      if (a != '-') {
        ++p;
      } else if (stage_.stop && b == '_' && c == '_') {
        return;
      } else if (b == '-') {
        if (!Add('0')) return;
        p += 1;
      } else if (b == '_' && c == '-') {
        if (!Add('1')) return;
        p += 2;
      } else if (b == '?') {
        if (!Add('?')) return;
        if (stage_.lostPair) {
          if (!Add('?')) return;
          p += 3;
        } else {
          p += 2;
        }
      } else if (b == '_' && c == '?') {
        if (!Add('1') || !Add('?')) return;
        p += 3;
      } else {
        ++p;
      }
    }
  }

 private:
  bool Add(char bit) {
    if (stage_.limit != 0 && count_ + 1 > stage_.limit) {
      count_ = stage_.limit;
      return false;
    }
    ++count_;
    if (out_ != nullptr) out_->push_back(bit);
    return true;
  }

  const std::string& picture_;
  const Stage& stage_;
  int& count_;
  std::string* out_;
};

}  // namespace

void PatternDecode(const std::string& picture, const char* code, std::string& bits) {
  const PatternTable* t = nullptr;
  for (const PatternTable& candidate : kPatternTables) {
    if (std::strncmp(code, candidate.code, 2) == 0) t = &candidate;
  }
  if (t == nullptr) return;

  int n = 0;
  Scanner(picture, t->stage1, n, &bits).Run();
  if (t->stage2.first > t->stage2.last) return;
  Scanner(picture, t->stage2, n, &bits).Run();
  if (t->junction.first > t->junction.last || n >= kJunctionLimit) return;

  // The gap between the second and third byte may have swallowed a bit: if what
  // follows cannot make up the frame, one bit was lost there.
  int dry = n;
  Scanner(picture, t->junction, dry, nullptr).Run();
  if (dry < kJunctionLimit) {
    bits.push_back('?');
    ++n;
  }
  Scanner(picture, t->junction, n, &bits).Run();
}

}  // namespace kestrel
