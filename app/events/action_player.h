// Plays the action script of one event entry as synthetic mouse and keyboard
// input, synchronously, on the calling thread (the watcher).
#pragma once

namespace vantor {

void PlayAction(const char* entry);

}  // namespace vantor
