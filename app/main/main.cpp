// Vantora: the program's entry point.
#include <windows.h>

#include "app/main/dexel_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
  // One instance: a second start brings the first one's window to the front and ends.
  if (!vantor::TDexelApp::ClaimSingleInstance()) return 1;
  vantor::TDexelApp app(instance, cmdShow);
  return app.Run();
}
