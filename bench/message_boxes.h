// Records every message box a thread shows and answers it, so the real
// MessageBoxExA/W call runs and a test sees what a user would have seen.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct CapturedBox {
  std::string text;     // UTF-8
  std::string caption;  // UTF-8
  unsigned style = 0;   // MB_ button set | MB_ICON* | MB_TASKMODAL, as observed on the box
};

class MessageBoxCapture {
 public:
  // answer: the button id to press (IDOK, IDCANCEL, ...); a box without that
  // button gets its OK, or failing that its Cancel. threadId 0: the calling thread.
  // MB_TASKMODAL is observed only on a capture of the calling thread.
  explicit MessageBoxCapture(int answer = 1 /* IDOK */, unsigned long threadId = 0);
  ~MessageBoxCapture();
  MessageBoxCapture(const MessageBoxCapture&) = delete;
  MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

  std::vector<CapturedBox> Boxes() const;
  void SetAnswer(int id);

  struct State;  // shared with the hook procedure

 private:
  State* Shared;
};

}  // namespace bench
