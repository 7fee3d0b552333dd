// TKestrelReceiver: the IrDA-SIR transceiver behind TReceiver. It is the one
// place that hands the program's format code to the library before a call, and
// that takes up the format the library asks for after a learning without a code.
#pragma once

#include "app/receivers/receiver.h"
#include "kestrel/kestrel.h"

namespace vantor {

// The notice shown at start-up and after every attempt to open the IrDA-SIR receiver.
void ShowKestrelNotice();

class TKestrelReceiver final : public TReceiver {
 public:
  // formatCode: the format code the store loads and saves (TPortSettings::RcFormatCode),
  // read before every call and written after a learning that asks for another press.
  explicit TKestrelReceiver(char (&formatCode)[16]) : FormatCode(formatCode) {}
  ~TKestrelReceiver() { Close(); }
  TKestrelReceiver(const TKestrelReceiver&) = delete;
  TKestrelReceiver& operator=(const TKestrelReceiver&) = delete;

  bool Open(int comNumber) override { return Library.UserChangePort(comNumber) != 0; }
  void Close() override;
  bool LineGone() const override { return Library.PortHandle == INVALID_HANDLE_VALUE; }
  bool Learn(char* text, int size) override;
  TReceived Wait(char* text, int size, DWORD waitMs) override;
  void BreakWait() override;
  // The step starts afresh after a pause: nothing waits to be dropped.
  void DropQueuedInput() override {}
  void ShowNotice() override { ShowKestrelNotice(); }

  // For tests and benchmarks that play the line; the program goes through TReceiver.
  TKestrel& Raw() { return Library; }

 private:
  void LoadFormat();

  char (&FormatCode)[16];
  TKestrel Library;
};

}  // namespace vantor
