// How the program tells the user of a failure of its own (the libraries show
// their own boxes): one box, captioned "Error", owned by no window so it shows
// whether the main window is up or hidden in the tray.
#pragma once

namespace vantor {

void ShowProgramError(const char* text);

// The events list control took no more items (the system is out of memory).
inline constexpr char kEntryRefused[] =
    "Vantor cannot add the event to its list!\n\n"
    "The system has no memory left for it. Close other programs, or delete events you no longer use, and try again.";

}  // namespace vantor
