// TFrameWindow: a decorated top-level window whose client is a dialog. The frame
// takes the size of its client; when the client dialog goes, the frame goes, and
// the frame's close box is handed to the client as its Cancel command.
#pragma once

#include <windows.h>

#include "app/framework/dialog.h"
#include "app/framework/window.h"

namespace vantor {

class TFrameWindow : public TWindow {
 public:
  TFrameWindow(const char* title, TDialog* client);
  ~TFrameWindow() override;

  // Creates the frame and its client; the frame is not shown yet.
  HWND Create();
  void SetIcons(HICON large, HICON small);
  // The application's main window ends the message loop when it is destroyed.
  bool QuitOnDestroy = false;

 protected:
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  char Title[128];
  TDialog* Client;
  HWND ClientHandle = nullptr;
};

}  // namespace vantor
