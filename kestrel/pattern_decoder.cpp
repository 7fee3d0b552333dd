#include "kestrel/decoders.h"
#include "kestrel/level_picture.h"

namespace kestrel {
namespace {

// Counts bits into `count` (the frame's running total) and appends them to `out`
// unless it is null (a dry run). A bit past the limit ends the stage unappended,
// with the count held at the limit.
class Scanner {
 public:
  Scanner(const std::string& picture, const PatternStage& stage, int& count, std::string* out)
      : Picture(picture), Stage(stage), Count(count), Output(out) {}

  void Run() {
    for (int p = Stage.first; p <= Stage.last;) {
      char a = At(Picture, p), b = At(Picture, p + 1), c = At(Picture, p + 2);
      if (a != '-') {
        ++p;
      } else if (Stage.stop && b == '_' && c == '_') {
        return;
      } else if (b == '-') {
        if (!Add('0')) return;
        p += 1;
      } else if (b == '_' && c == '-') {
        if (!Add('1')) return;
        p += 2;
      } else if (b == '?') {
        if (!Add('?')) return;
        if (Stage.lostPair) {
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
    if (Stage.limit != 0 && Count + 1 > Stage.limit) {
      Count = Stage.limit;
      return false;
    }
    ++Count;
    if (Output != nullptr) Output->push_back(bit);
    return true;
  }

  const std::string& Picture;
  const PatternStage& Stage;
  int& Count;
  std::string* Output;
};

}  // namespace

void PatternDecode(const std::string& picture, const PatternTable& t, std::string& bits) {

  int n = 0;
  Scanner(picture, t.first, n, &bits).Run();
  if (t.second.first > t.second.last) return;
  Scanner(picture, t.second, n, &bits).Run();
  if (t.junction.first > t.junction.last || n >= kJunctionLimit) return;

  // The gap between the second and third byte may have swallowed a bit: if what
  // follows cannot make up the frame, one bit was lost there.
  int dry = n;
  Scanner(picture, t.junction, dry, nullptr).Run();
  if (dry < kJunctionLimit) {
    bits.push_back('?');
    ++n;
  }
  Scanner(picture, t.junction, n, &bits).Run();
}

}  // namespace kestrel
