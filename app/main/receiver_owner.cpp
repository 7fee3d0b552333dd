#include "app/main/receiver_owner.h"

namespace vantor {

void TReceiverOwner::RunWatcher() {
  WatcherWanted = true;
  if (Borrower == TUser::Watcher) LetWatcherRun();
}

void TReceiverOwner::PauseWatcher() {
  WatcherWanted = false;
  if (Started && !Suspended) {
    Watcher.Suspend();
    Suspended = true;
  }
}

bool TReceiverOwner::Borrow(TUser user) {
  if (Borrower != TUser::Watcher || user == TUser::Watcher) return false;
  if (Started) {
    // Paused by Show a moment ago, it may still be inside a receiver call: wait
    // for it to park in either case. A capture it is inside is cut short; give
    // it a few rounds to stop.
    const bool wasRunning = !Suspended;
    Suspended = true;
    bool parked = false;
    for (int round = 0; round < 50 && !parked; ++round) parked = Watcher.Suspend();
    if (!parked) {
      // It still holds them: let it go on as it was rather than leave it paused for no one.
      if (wasRunning) {
        Watcher.Resume();
        Suspended = false;
      }
      return false;
    }
  }
  Borrower = user;
  return true;
}

void TReceiverOwner::GiveBack(TUser user) {
  if (Borrower != user) return;
  Borrower = TUser::Watcher;
  if (WatcherWanted) LetWatcherRun();
}

void TReceiverOwner::LetWatcherRun() {
  if (!Started) {
    Started = true;
    Suspended = false;
    Watcher.Start();
  } else if (Suspended) {
    Suspended = false;
    Watcher.Resume();
  }
}

}  // namespace vantor
