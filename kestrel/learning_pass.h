// What a caller learning a button does after a capture that gave no code string:
// whether to ask for another press, and in which format that press is captured.
// The wizard and the synthesized learning of the benchmark and its tests share it.
#pragma once

namespace kestrel {

// Which of the formats the library names with "AGAIN" a caller takes up as its own
// format code. The program's watcher captures every press in one format, so the
// wizard keeps only Sony's, which completes in one capture; any other request
// sends the next press back to the caller's format. Following every request walks
// the library's multi-pass recognition to its end.
enum class Adopts { Sony, Every };

struct LearningPass {
  bool Again;           // the library asked for another press of the same button
  char FormatCode[16];  // the caller's format code from now on
  char CodePrefix[16];  // what the receiver's CodePrefix holds for the next call
};

// `received`: the text the capture left in the caller's buffer (cleared before the
// call); `codePrefix`: the receiver's CodePrefix after the call; `formatCode`: the
// caller's format code. "AGAIN" asks for another press; an empty text means the
// library gave the button up, and the caller starts over in "NE"; any other text
// changes nothing. Texts are read up to their terminator or 15 characters; a null
// pointer counts as the empty text.
LearningPass NextLearningPass(const char* received, const char* codePrefix, const char* formatCode, Adopts adopts);

}  // namespace kestrel
