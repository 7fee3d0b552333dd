// TApplication: WinMain's glue and the message loop. Each queued message goes
// through, in order: the application-wide pre-translation (PreTranslate: the help
// keys), the target window and then its parents (TWindow::PreProcessMsg: the
// keystroke recorder), the keyboard navigation of modeless dialogs, and finally
// translation and dispatch.
#pragma once

#include <windows.h>

namespace vantor {

class TApplication {
 public:
  TApplication(const char* name, HINSTANCE instance, int cmdShow);
  virtual ~TApplication() = default;
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Makes the main window (InitMainWindow) and runs the loop until it quits.
  // Returns the exit code given to PostQuitMessage.
  int Run();
  // One message through the chain above; exposed so tests can drive it.
  void ProcessMessage(MSG& msg);

  const char* GetName() const { return name_; }
  HINSTANCE GetInstance() const { return instance_; }
  int GetCmdShow() const { return cmdShow_; }

 protected:
  // Creates and shows the main window; false ends the program with code 1.
  virtual bool InitMainWindow() = 0;
  // Application-wide look at every message first; true when consumed.
  virtual bool PreTranslate(MSG& msg);

  int cmdShow_;

 private:
  const char* name_;
  HINSTANCE instance_;
};

}  // namespace vantor
