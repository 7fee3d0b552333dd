// make_media <folder>: draws the program's icon, its context-help cursor and its
// start sound into <folder> (vantor.ico, help.cur, start.wav) for the resource
// script. Built and run on the build machine, so no binary lives in the tree.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutTag(Bytes& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// Pixel art: one string per row, top row first, one letter per pixel.
// '.' is transparent; rows below the last string are transparent too.
struct Picture {
  int size;
  std::vector<std::string> rows;
};

struct Colour {
  char letter;
  std::uint8_t r, g, b;
};

// The sixteen colours every display of the time could show; a 4-bit icon and
// a 1-bit cursor need nothing more.
constexpr Colour kPalette[16] = {
    {'k', 0, 0, 0},       {'m', 128, 0, 0},     {'e', 0, 128, 0},   {'o', 128, 128, 0},
    {'n', 0, 0, 128},     {'p', 128, 0, 128},   {'t', 0, 128, 128}, {'s', 192, 192, 192},
    {'g', 128, 128, 128}, {'r', 255, 0, 0},     {'l', 0, 255, 0},   {'y', 255, 255, 0},
    {'b', 0, 0, 255},     {'f', 255, 0, 255},   {'c', 0, 255, 255}, {'w', 255, 255, 255},
};

bool Check(const Picture& p, const char* what) {
  if (static_cast<int>(p.rows.size()) > p.size) {
    std::fprintf(stderr, "%s: more than %d rows\n", what, p.size);
    return false;
  }
  for (const std::string& row : p.rows) {
    if (static_cast<int>(row.size()) != p.size) {
      std::fprintf(stderr, "%s: row \"%s\" is not %d pixels wide\n", what, row.c_str(), p.size);
      return false;
    }
  }
  return true;
}

char Pixel(const Picture& p, int x, int y) {
  return y < static_cast<int>(p.rows.size()) ? p.rows[y][x] : '.';
}

int PaletteIndex(char letter) {
  for (int i = 0; i < 16; ++i)
    if (kPalette[i].letter == letter) return i;
  return -1;
}

// One icon or cursor image as the files store it: a bitmap header with the height
// doubled, the palette, the colour rows and then the transparency mask, bottom row first.
bool AppendImage(Bytes& out, const Picture& p, int bits, const char* what) {
  const int colourStride = (p.size * bits + 31) / 32 * 4;
  const int maskStride = (p.size + 31) / 32 * 4;
  Put32(out, 40);
  Put32(out, p.size);
  Put32(out, p.size * 2);
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, 0);
  Put32(out, (colourStride + maskStride) * p.size);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  // A 1-bit cursor uses black and white only.
  const int colours = 1 << bits;
  for (int i = 0; i < colours; ++i) {
    const Colour& c = bits == 1 ? kPalette[i == 0 ? 0 : 15] : kPalette[i];
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  Bytes colour, mask;
  for (int y = p.size - 1; y >= 0; --y) {
    Bytes colourRow(colourStride, 0), maskRow(maskStride, 0);
    for (int x = 0; x < p.size; ++x) {
      const char letter = Pixel(p, x, y);
      if (letter == '.') {
        maskRow[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        continue;
      }
      int index = PaletteIndex(letter);
      if (bits == 1) index = letter == 'k' ? 0 : letter == 'w' ? 1 : -1;
      if (index < 0) {
        std::fprintf(stderr, "%s: no colour '%c'\n", what, letter);
        return false;
      }
      if (bits == 4)
        colourRow[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
      else
        colourRow[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
    }
    colour.insert(colour.end(), colourRow.begin(), colourRow.end());
    mask.insert(mask.end(), maskRow.begin(), maskRow.end());
  }
  out.insert(out.end(), colour.begin(), colour.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return true;
}

struct Entry {
  const Picture* picture;
  int hotX, hotY;  // cursors only
};

// .ico (type 1) and .cur (type 2) share one layout; a cursor keeps its hot spot
// where an icon keeps planes and bit count.
bool IconFile(Bytes& out, int type, const std::vector<Entry>& entries, const char* what) {
  const int bits = type == 1 ? 4 : 1;
  std::vector<Bytes> images;
  for (const Entry& e : entries) {
    if (!Check(*e.picture, what)) return false;
    images.emplace_back();
    if (!AppendImage(images.back(), *e.picture, bits, what)) return false;
  }
  Put16(out, 0);
  Put16(out, type);
  Put16(out, static_cast<unsigned>(entries.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    out.push_back(static_cast<std::uint8_t>(e.picture->size));
    out.push_back(static_cast<std::uint8_t>(e.picture->size));
    out.push_back(static_cast<std::uint8_t>(1 << bits));
    out.push_back(0);
    Put16(out, type == 1 ? 1 : e.hotX);
    Put16(out, type == 1 ? bits : e.hotY);
    Put32(out, static_cast<std::uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const Bytes& image : images) out.insert(out.end(), image.begin(), image.end());
  return true;
}

// A remote control sending its beam.
const Picture kIcon32 = {32,
                         {
                             "................................",
                             "........y......yy......y........",
                             ".........y.....yy.....y.........",
                             "................................",
                             "...........y...yy...y...........",
                             "............y..yy..y............",
                             "................................",
                             "...........kkkkkkkkkk...........",
                             "..........kggggggggggk..........",
                             "..........kgggrrrrgggk..........",
                             "..........kgggmmmmgggk..........",
                             "..........kggggggggggk..........",
                             "..........kgrrggggssgk..........",
                             "..........kgrrggggssgk..........",
                             "..........kggggggggggk..........",
                             "..........kggggccggggk..........",
                             "..........kggggccggggk..........",
                             "..........kggccbbccggk..........",
                             "..........kggccbbccggk..........",
                             "..........kggggccggggk..........",
                             "..........kggggccggggk..........",
                             "..........kggggggggggk..........",
                             "..........kgssgssgssgk..........",
                             "..........kgssgssgssgk..........",
                             "..........kggggggggggk..........",
                             "..........kgssgssgssgk..........",
                             "..........kgssgssgssgk..........",
                             "..........kggggggggggk..........",
                             "..........kgssgssgssgk..........",
                             "..........kgssgssgssgk..........",
                             "..........kggggggggggk..........",
                             "...........kkkkkkkkkk...........",
                         }};

const Picture kIcon16 = {16,
                         {
                             "....y..yy..y....",
                             ".....y.yy.y.....",
                             "................",
                             ".....kkkkkk.....",
                             "....kggrrggk....",
                             "....kggggggk....",
                             "....kgrgggsk....",
                             "....kggggggk....",
                             "....kggccggk....",
                             "....kgcbbcgk....",
                             "....kggccggk....",
                             "....kggggggk....",
                             "....kgssssgk....",
                             "....kggggggk....",
                             "....kgssssgk....",
                             ".....kkkkkk.....",
                         }};

// The arrow with a question mark: the pointer of context help. Hot spot at the tip.
const Picture kHelpCursor = {32,
                             {
                                 "k...............................",
                                 "kk.............wwwwww...........",
                                 "kwk...........wwkkkkww..........",
                                 "kwwk..........wkkwwkkw..........",
                                 "kwwwk.........wkkwwkkw..........",
                                 "kwwwwk........wwwwwkkw..........",
                                 "kwwwwwk.........wwkkww..........",
                                 "kwwwwwwk........wkkww...........",
                                 "kwwwwwwwk.......wkkw............",
                                 "kwwwwwwwwk......wwww............",
                                 "kwwwwwwwwwk.....wkkw............",
                                 "kwwwwwwkkkkk....wkkw............",
                                 "kwwwkwwk........wwww............",
                                 "kwwkkwwk........................",
                                 "kwk..kwwk.......................",
                                 "kk...kwwk.......................",
                                 "k.....kwwk......................",
                                 "......kwwk......................",
                                 ".......kk.......................",
                             }};

// Two rising notes, each fading out: 8-bit mono PCM at 22050 samples per second.
Bytes StartSound() {
  constexpr int kRate = 22050;
  struct Note {
    double hz, seconds;
  };
  constexpr Note kNotes[] = {{1046.5, 0.09}, {1568.0, 0.13}};
  constexpr double kPi = 3.14159265358979323846;
  Bytes samples;
  for (const Note& note : kNotes) {
    const int count = static_cast<int>(note.seconds * kRate);
    for (int i = 0; i < count; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double level = 90.0 * std::exp(-t * 18.0) * std::min(1.0, i / 40.0);  // no click at the start
      samples.push_back(static_cast<std::uint8_t>(std::lround(128.0 + level * std::sin(2 * kPi * note.hz * t))));
    }
  }
  Bytes out;
  PutTag(out, "RIFF");
  Put32(out, 0);  // the RIFF size, filled in below
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kRate);
  Put32(out, kRate);  // bytes per second
  Put16(out, 1);      // bytes per sample frame
  Put16(out, 8);
  PutTag(out, "data");
  Put32(out, static_cast<std::uint32_t>(samples.size()));
  out.insert(out.end(), samples.begin(), samples.end());
  if (samples.size() % 2) out.push_back(0);  // chunks are padded to even length
  const auto riffSize = static_cast<std::uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(riffSize >> (8 * i));
  return out;
}

bool Save(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_media <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  Bytes icon, cursor;
  if (!IconFile(icon, 1, {{&kIcon32, 0, 0}, {&kIcon16, 0, 0}}, "icon") ||
      !IconFile(cursor, 2, {{&kHelpCursor, 0, 0}}, "help cursor"))
    return 1;
  return Save(folder + "/vantor.ico", icon) && Save(folder + "/help.cur", cursor) &&
                 Save(folder + "/start.wav", StartSound())
             ? 0
             : 1;
}
