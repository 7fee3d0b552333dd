// TDexelApp: the program "Vantor". One instance at a time (a named mutex; the
// running one is found by its window title), a frame hosting TDexel, and the help
// keys for every window.
#pragma once

#include <windows.h>

#include "app/framework/application.h"
#include "app/framework/frame_window.h"
#include "app/main/dexel.h"

namespace vantor {

constexpr char kAppTitle[] = "Vantor";

// The decorated frame titled "Vantor", its client the main dialog.
class TSDIDecFrame : public TFrameWindow {
 public:
  explicit TSDIDecFrame(TDexel* client) : TFrameWindow(kAppTitle, client) {}
};

class TDexelApp : public TApplication {
 public:
  TDexelApp(HINSTANCE instance, int cmdShow) : TApplication(instance, cmdShow) {}
  ~TDexelApp() override;

  // Takes the program's one instance before anything else is made; false when an
  // earlier start holds it, whose window has then been brought to the front.
  static bool ClaimSingleInstance();
  // Brings a running instance to the front; true when there was one.
  static bool ActivateRunningInstance();

 protected:
  bool InitMainWindow() override;
  bool PreTranslate(MSG& msg) override;
  bool FilterCommand(HWND window, WPARAM wParam, LPARAM lParam) override;

 private:
  void LeaveContextHelp(bool restoreArrow);

  TDexel* Client = nullptr;
  TSDIDecFrame* Frame = nullptr;
  const DWORD GuiThread = GetCurrentThreadId();
  bool ContextHelp = false;  // Shift+F1 was pressed: the next command asks for its help
  HCURSOR HelpCursor = nullptr;
};

}  // namespace vantor
