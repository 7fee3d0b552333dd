// One record per format code: everything the capture, the decoders and the
// recognition know about a remote-control format, in one place. Every button
// starts in the first pass ("NE"); what that capture shows points to another
// format, whose own speed, decoder and bit positions the next capture uses.
#pragma once

#include <cstdint>
#include <span>

#include "kestrel/decoders.h"

namespace kestrel {

// Every button's first capture, and the format a complete code returns to.
inline constexpr char kFirstPass[] = "NE";

// Which decoder turns a capture's level picture into bits.
enum class Decoder {
  None,      // no bits: the capture only proves that a button was pressed
  Runs,      // a bit from the length of each run of light and dark (`runs`)
  Patterns,  // short patterns at fixed picture positions (`patterns`)
  Pulses,    // one bit per byte end, from the light before it
};

// What recognition does with the bits of a capture in this format.
enum class Recognition {
  Classify,      // the first pass: tells the format from the bits and the first bytes
  Mitsubishi,    // takes both halves as they came, tells the enhanced kind; asks for `again` while a bit is undecided
  Merge,         // fills the kept halves' undecided bits from this capture; asks for `again` while one is left
  MergeChecked,  // the same, but a capture that contradicts the kept halves asks for `again`
  Pioneer,       // finds the kept data bits in this capture and fills in the first one
  Panasonic,     // each bit followed by its inverse
  Sony,          // the frame sent twice, in its 12- or 15-bit length
  Sharp,         // the group sent twice, the data the second time inverted
  Presence,      // no bits: completes with empty halves
};

// Where the two halves of a code sit in the decoded bits (positions from 0).
struct FrameLayout {
  int groupAt = 0, groupBits = 0;  // the device or address bits, in transmission order
  int dataAt = 0, dataBits = 0;    // the key bits
  // How far on each bit is sent a second time (repeated or inverted, as the
  // format has it); 0: sent once.
  int copyAt = 0;

  // The position just past both halves: in a frame sent twice, the bit between
  // the two copies.
  constexpr int End() const {
    return groupAt + groupBits > dataAt + dataBits ? groupAt + groupBits : dataAt + dataBits;
  }
};

// The first two bytes a first-pass capture of this format begins with: the
// first is one of `first`, the second one of `second`. Empty: none known.
struct FirstBytes {
  std::span<const std::uint8_t> first = {};
  std::span<const std::uint8_t> second = {};

  bool Match(std::uint8_t r0, std::uint8_t r1) const;
  // A byte that may begin a frame: the next frame's leader.
  bool Leads(std::uint8_t byte) const;
};

// How a frame looks byte by byte at the first pass's speed, for a format whose
// bits there do not tell it: after a leader byte (one of `FirstBytes::first`),
// at least `bytes` bytes come before the next frame's leader, and in none of
// them but the last is the line dark for more than `longestDark` samples in a
// row (the last byte runs into the gap between frames). Zero bytes: not used.
struct FirstPassRhythm {
  int bytes = 0;
  int longestDark = 0;
};

// How the watcher's stream path tells frames, repeats and presses apart in a
// format, from the bytes at the format's speed and the times they came.
enum class StreamKind {
  Burst,    // a press is every byte until `quietMs` of silence, decoded as one capture
  Leader,   // a frame begins at `leader`; it is decided once `decidingBits` bits are read
  Counted,  // a press begins after `quietMs` of silence; its frames are counted out by bytes
};

struct StreamRecord {
  StreamKind kind = StreamKind::Burst;
  // Leader: the byte every frame and repeat code begins with.
  std::uint8_t leader = 0;
  // Leader: the bits that decide a frame (both halves and their copies).
  int decidingBits = 0;
  // Burst and Counted: silence that ends a press (a burst is then decoded: as
  // long as the capture's longest wait for the end of a frame). Leader: silence
  // after a repeat code's one mark, which tells it from a frame's first bits.
  unsigned quietMs = 100;
  // A frame or repeat code that begins this soon after the last one belongs to
  // the same held button.
  unsigned repeatWindowMs = 0;
  // Frames the shortest tap sends: reported once; each frame after them is the
  // button held.
  int tapFrames = 1;
};

struct FormatRecord {
  char code[3] = {};  // the two letters in CodePrefix
  // The speed its frames are captured at; 0: the line keeps its speed. One
  // picture character lasts 1/baud: the speed is picked so that the shortest
  // pulse of each family spans a few characters.
  unsigned baud = 0;

  Decoder decoder = Decoder::None;  // how the capture becomes bits
  RunTable runs = {};               // the run decoder's rules (Decoder::Runs)
  PatternTable patterns = {};       // the pattern decoder's stages (Decoder::Patterns)

  Recognition recognition = Recognition::Presence;
  char again[3] = {};        // the pass asked for while bits are still undecided; "": none of its own
  char completesAs[3] = {};  // the letters a complete code string begins with
  // MergeChecked: a bit still undecided after merging reads as "0" rather than
  // abandoning the attempt.
  bool undecidedIsZero = false;

  FrameLayout frame = {};      // where the halves sit
  FrameLayout enhanced = {};   // the longer frame of the same family (Sony 15 bit)
  FirstBytes firstBytes = {};  // what points the first pass to this format
  FirstPassRhythm rhythm = {};  // what else tells it there, bytes past the first two
  StreamRecord stream = {};     // how the watcher reads it between presses
};

// The record of the format whose code the first two characters are; null for
// none (and for a null pointer). Nothing past two characters is read.
const FormatRecord* FindFormat(const char* code);

// The record of one of the twelve codes, named by the library itself.
const FormatRecord& KnownFormat(const char* code);

}  // namespace kestrel
