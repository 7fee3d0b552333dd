// TPellowReceiver: the IR55 receiver behind TReceiver.
#pragma once

#include "app/receivers/receiver.h"
#include "pellow/pellow.h"

namespace vantor {

class TPellowReceiver final : public TReceiver {
 public:
  TPellowReceiver() = default;
  ~TPellowReceiver() { Close(); }
  TPellowReceiver(const TPellowReceiver&) = delete;
  TPellowReceiver& operator=(const TPellowReceiver&) = delete;

  bool Open(int comNumber) override { return Library.UserChangePort(comNumber) != 0; }
  void Close() override;
  bool LineGone() const override { return Library.PortHandle == INVALID_HANDLE_VALUE; }
  bool Learn(char* text, int size) override;
  TReceived Wait(char* text, int size, DWORD waitMs) override;
  // The step is back within the wait it was given, break or not.
  void BreakWait() override {}
  void DropQueuedInput() override;
  void ShowNotice() override {}

  // For tests and benchmarks that play the line; the program goes through TReceiver.
  TPellow& Raw() { return Library; }

 private:
  TPellow Library;
  // A code was reported since the last 0x52 began a run of repeats.
  bool ReportedInRun = false;
};

}  // namespace vantor
