// What one capture leaves behind once it is decoded: the object's recognition
// state (kept between passes, changed where it lives) and the outcome of the
// call, as plain data. The library shows the message and writes the code;
// nothing here touches a window.
#pragma once

#include <cstddef>
#include <string>

namespace kestrel {

inline constexpr std::size_t kCodePrefixSize = 16;
inline constexpr std::size_t kStoredHalfSize = 32;
// "SH 1f 3ff" is the longest code string; the caller's buffer holds at least 10.
inline constexpr std::size_t kCodeSize = 10;

// What carries recognition from one pass to the next, for a caller that has no
// receiver object: the fuzzer, the synthesized learning, the tests.
struct RecognitionState {
  char CodePrefix[kCodePrefixSize];
  char StoredGroup[kStoredHalfSize];  // all '?' when empty, else a terminated text
  char StoredData[kStoredHalfSize];
};

// The same three fields where they live: TKestrel's own members (whose layout
// is fixed, so they cannot be one record) or a RecognitionState. Decoding
// reads and changes them in place.
struct RecognitionView {
  char (&CodePrefix)[kCodePrefixSize];
  char (&StoredGroup)[kStoredHalfSize];
  char (&StoredData)[kStoredHalfSize];

  RecognitionView(char (&prefix)[kCodePrefixSize], char (&group)[kStoredHalfSize], char (&data)[kStoredHalfSize])
      : CodePrefix(prefix), StoredGroup(group), StoredData(data) {}
  // Implicit: a caller with its own state hands it over as it is.
  RecognitionView(RecognitionState& s)
      : RecognitionView(s.CodePrefix, s.StoredGroup, s.StoredData) {}
};

// "NE", both halves empty: a fresh object.
void Reset(RecognitionView s);
RecognitionState FreshState();
// Fills a stored half with '?' (all positions, no terminator).
void ResetHalf(char (&half)[kStoredHalfSize]);
// Clears the prefix and writes a two-letter code into it.
void SetPrefix(RecognitionView s, const char* code);

// Message box styles, as numbers: the core cannot see the window headers.
inline constexpr unsigned kNoticeStyle = 0x0000;     // OK only
inline constexpr unsigned kCandidateStyle = 0x2000;  // task-modal

struct Message {
  std::string text;
  std::string caption;
  unsigned style = kNoticeStyle;
};

struct CaptureOutcome {
  int result = 0;          // 1: a complete code string
  bool writeCode = false;  // false: the caller's `code` stays as it was
  char code[kCodeSize] = {};
  bool hasMessage = false;  // at most one box per capture
  Message message;
};

}  // namespace kestrel
