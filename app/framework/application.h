// TApplication: WinMain's glue and the message loop. Each queued message goes
// through, in order: the application-wide pre-translation (PreTranslate: the help
// keys), the target window and then its parents (TWindow::PreProcessMsg: the
// keystroke recorder), the keyboard navigation of modeless dialogs, and finally
// translation and dispatch. Modal loops (dialog boxes, message boxes) take their
// messages themselves; while Run is on, those messages still get the
// application-wide pre-translation first. Every command a window of the program
// is about to handle, queued or sent, is offered to FilterCommand first.
#pragma once

#include <windows.h>

namespace vantor {

class TApplication {
 public:
  TApplication(HINSTANCE instance, int cmdShow);
  virtual ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Makes the main window (InitMainWindow) and runs the loop until it quits.
  // Returns the exit code given to PostQuitMessage.
  int Run();
  // One message through the chain above; exposed so tests can drive it.
  void ProcessMessage(MSG& msg);
  // Runs the messages already queued through the same chain, waiting for none (a
  // long call on the GUI thread lets its window draw first). A WM_QUIT met is
  // posted again for the main loop, and ends this.
  static void ProcessQueued();
  // Called by the window procedures for WM_COMMAND; true when the application
  // consumed the command.
  static bool OfferCommand(HWND window, WPARAM wParam, LPARAM lParam);

  HINSTANCE GetInstance() const { return Instance; }

 protected:
  // Creates and shows the main window; false ends the program with code 1.
  virtual bool InitMainWindow() = 0;
  // Application-wide look at every message first; true when consumed.
  virtual bool PreTranslate(MSG& msg);
  // Application-wide look at every command before its window's handler; true when consumed.
  virtual bool FilterCommand(HWND window, WPARAM wParam, LPARAM lParam);

  int CmdShow;

 private:
  static LRESULT CALLBACK ModalLoopFilter(int code, WPARAM wParam, LPARAM lParam);

  HINSTANCE Instance;
};

}  // namespace vantor
