// TReceiverOwner: the receivers have one user at a time. The
// watcher has them while it runs; a learning or the port options procedure
// borrows them, the watcher parked meanwhile, and gives them back, and the
// watcher then runs again if it ran before and nothing since (Show, closing)
// asked it to stay paused. Nested message loops (a modal dialog, a learning's
// look at the queue) are where a second user would come in: Borrow refuses it.
// GUI thread only.
#pragma once

#include "app/events/sig_catch.h"

namespace vantor {

class TReceiverOwner {
 public:
  enum class TUser { Watcher, Learning, Options };

  explicit TReceiverOwner(TSigCatch& watcher) : Watcher(watcher) {}

  // Start: the watcher runs, now, or when the borrower gives the receivers back.
  void RunWatcher();
  // Show and closing: the watcher pauses and stays paused.
  void PauseWatcher();
  // False while another borrower has them, or when the watcher cannot be parked.
  bool Borrow(TUser user);
  void GiveBack(TUser user);
  TUser Holder() const { return Borrower; }

 private:
  void LetWatcherRun();

  TSigCatch& Watcher;
  bool Started = false;    // the watcher thread exists
  bool Suspended = true;   // it is paused, or not yet started
  TUser Borrower = TUser::Watcher;  // Watcher: lent to nobody
  bool WatcherWanted = false;       // Start was pressed since the last Show or closing
};

}  // namespace vantor
