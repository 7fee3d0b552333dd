#include "kestrel/learning_pass.h"

#include <cstring>

namespace kestrel {
namespace {

// Copies at most 15 characters and always terminates.
void CopyCode(char (&to)[16], const char* from) {
  std::memset(to, 0, sizeof to);
  if (from) std::strncpy(to, from, sizeof to - 1);
}

bool BeginsWith(const char* text, const char* start) {
  return text && std::strncmp(text, start, std::strlen(start)) == 0;
}

}  // namespace

LearningPass NextLearningPass(const char* received, const char* codePrefix, const char* formatCode, Adopts adopts) {
  LearningPass next{};
  CopyCode(next.FormatCode, formatCode);
  CopyCode(next.CodePrefix, codePrefix);
  if (BeginsWith(received, "AGAIN")) {
    next.Again = true;
    if (adopts == Adopts::Every || BeginsWith(codePrefix, "SO")) {
      CopyCode(next.FormatCode, adopts == Adopts::Every ? codePrefix : "SO");
    } else {
      CopyCode(next.CodePrefix, formatCode);
    }
  } else if (!received || received[0] == '\0') {
    CopyCode(next.FormatCode, "NE");
  }
  return next;
}

}  // namespace kestrel
