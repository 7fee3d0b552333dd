// The watcher thread for real: a combo box on this (GUI) thread, TPellow on a
// pseudo-terminal played by the IR55 emulator, input seen on the bench's display.
#include "app/events/sig_catch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "app/options/port_options.h"
#include "options/option_driver.h"
#include "bench/ir55_feed.h"
#include "bench/input_probe.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"
#include "tools/sir/protocols.h"
#include "tools/sir/uart_bytes.h"

namespace vantor {
namespace {

class WatcherBench : public ::testing::Test, public TWatcherHost {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench::DisablePointerAcceleration());
    combo_ = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_SIMPLE | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL, 0, 0,
                             400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    list_.Attach(combo_);
    ports_.UsePellow = 1;
    ports_.UseCom1 = 1;
    ASSERT_TRUE(receiver_.ok());
    ASSERT_TRUE(pellow_.UserChangePort(1));
    probe_.Focus();
    bench::SetCursorTo(300, 300);
    Pump(50);
  }
  void TearDown() override {
    // The watcher never ends by itself; stop it here so it outlives nothing it uses.
    if (watcher_.GetStatus() != TThread::Status::Created) {
      watcher_.Suspend();
      TerminateThread(watcher_.GetHandle(), 0);
      WaitForSingleObject(watcher_.GetHandle(), 5000);
    }
    if (pellow_.PortHandle != INVALID_HANDLE_VALUE) pellow_.Close();
    DestroyWindow(combo_);
  }

  // TWatcherHost
  const TComboBox& GetEventsList() override { return list_; }
  char* GetReceiveText() override { return text_; }
  const char* RcFormatCode() override { return formatCode_; }
  TKestrel& Kestrel() override { return kestrel_; }
  TPellow& Pellow() override { return pellow_; }
  const PortOptionsRecord& PortOptions() override { return ports_; }
  void PortOptionsProcedure() override {
    ++procedureRuns_;
    if (reopen_) {
      // The receiver is back: a new line behind COM1, opened as the options would.
      comeback_.emplace(1);
      pellow_.UserChangePort(1);
      return;
    }
    if (quietProcedure_) {
      Sleep(20);  // the test has seen enough: keep the watcher out of windows until it is stopped
      return;
    }
    options_.PortOptionsProcedure();
  }

  // The GUI thread keeps pumping while it waits: the watcher's list searches run here.
  void Pump(unsigned ms) { probe_.Pump(ms); }
  bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeoutMs) return false;
      Pump(10);
    }
    return true;
  }
  void Play(ir55::Script script) {
    bench::Ir55Feeder feeder(receiver_, std::move(script));
    while (!feeder.Done()) Pump(10);
    ASSERT_TRUE(feeder.Played());
    Pump(150);  // time for the last report to be handled
  }
  int KeyDowns(unsigned vk) const {
    int n = 0;
    for (const auto& m : probe_.Messages()) n += m.message == WM_KEYDOWN && m.wParam == vk;
    return n;
  }

  bench::PtyPort receiver_{1};
  bench::InputProbe probe_{100, 100, 500, 400};
  HWND combo_ = nullptr;
  TComboBox list_;
  char text_[kReceiveTextSize] = {};
  PortOptionsRecord ports_;
  TKestrel kestrel_;
  TPellow pellow_;
  char virtualCom_[256] = "";
  char mousePort_[256] = "";
  TPortSettings port_;
  TPortOptionsOwner options_{nullptr, port_, ports_, kestrel_, pellow_, virtualCom_, mousePort_};
  std::atomic<int> procedureRuns_{0};
  std::atomic<bool> quietProcedure_{false};
  bool reopen_ = false;
  const char* formatCode_ = "NE";
  std::optional<bench::PtyPort> comeback_;
  TSigCatch watcher_{this};
};

TEST_F(WatcherBench, OneCodeEntriesPlayTheirMoveAndClickInAnyCase) {
  list_.AddString("LW 00 41;MOVE 10 -5;");
  list_.AddString("LW 00 0A;MOVE 0 7;");  // stored upper case; the receiver reports "LW 00 0a"
  list_.AddString("LW 00 43;LEFTDOWN;LEFTUP;");
  ASSERT_TRUE(watcher_.Start());
  Play(ir55::Script().Press(0x41));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().x == 310; }, 2000));
  EXPECT_EQ(bench::CursorPos().y, 295);
  Play(ir55::Script().Press(0x0a));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 302; }, 2000));
  probe_.Clear();
  Play(ir55::Script().Press(0x43));
  EXPECT_TRUE(PumpUntil([&] { return probe_.Messages().size() >= 2; }, 2000));
  auto got = probe_.Messages();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, unsigned(WM_LBUTTONDOWN));
  EXPECT_EQ(got[1].message, unsigned(WM_LBUTTONUP));
  EXPECT_EQ(procedureRuns_, 0);
}

TEST_F(WatcherBench, AnEntryLongerThan255CharactersPlaysWhole) {
  // Entries loaded from the registry may hold up to 299 characters: the move at
  // the end must not be cut off.
  std::string entry = "LW 00 44;" + std::string(260, 'X') + ";MOVE 0 -9;";
  ASSERT_LT(entry.size(), 300u);
  list_.AddString(entry.c_str());
  ASSERT_TRUE(watcher_.Start());
  Play(ir55::Script().Press(0x44));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 291; }, 2000));
}

TEST_F(WatcherBench, WithNoReceiverChosenNothingIsRead) {
  ports_.UsePellow = 0;
  ASSERT_TRUE(watcher_.Start());
  ASSERT_TRUE(receiver_.Write("\x41", 1));
  Pump(400);
  EXPECT_EQ(pellow_.LastByte, 0);  // the byte waits in the port: no receive call was made
  EXPECT_EQ(procedureRuns_, 0);
}

TEST_F(WatcherBench, WithBothFlagsOnlyTheIrdaReceiversPortIsChecked) {
  // The IrDA-SIR receiver is the one read; the IR55 receiver's closed port must
  // not bring up the options dialog after every capture that finds nothing.
  bench::PtyPort irda(2);
  pellow_.Close();
  ASSERT_TRUE(kestrel_.UserChangePort(2));
  ports_.UseKestrel = 1;
  ASSERT_TRUE(watcher_.Start());
  Pump(6500);  // one capture without a signal takes about five seconds
  EXPECT_EQ(procedureRuns_, 0);
  // A pause does not wait for the capture's five seconds: the capture is cut
  // short, without a word to the user, and leaves the line at 19200.
  bench::MessageBoxCapture boxes(IDOK, watcher_.GetId());
  EXPECT_TRUE(watcher_.Suspend());
  EXPECT_TRUE(boxes.Boxes().empty());
  bench::LineSettings line;
  ASSERT_TRUE(irda.Settings(line));
  EXPECT_EQ(line.baud, 19200u);
  kestrel_.Close();
}

TEST_F(WatcherBench, TheIrdaReceiverCapturesInTheProgramsFormatAndALostPortBringsUpTheOptions) {
  bench::PtyPort irda(2);
  pellow_.Close();
  ASSERT_TRUE(kestrel_.UserChangePort(2));
  ports_.UseKestrel = 1;
  formatCode_ = "SO";  // a Sony button was learned: captures run at 9600
  list_.AddString("SO 01 01;MOVE 0 6;");
  quietProcedure_ = true;
  ASSERT_TRUE(watcher_.Start());
  bench::MessageBoxCapture boxes(IDOK, watcher_.GetId());
  bench::LineSettings line;
  ASSERT_TRUE(PumpUntil([&] { return irda.Settings(line) && line.baud == 9600; }, 3000));
  Pump(100);
  std::vector<std::uint32_t> light = sir::RenderPress(sir::Protocol::Sony12, 0x01, 0x01, {.holdUs = 250000});
  DWORD t0 = GetTickCount();
  for (const sir::UartByte& b : sir::UartBytes(light, 9600)) {
    while (GetTickCount() - t0 < static_cast<DWORD>(b.arrivalUs / 1000)) Pump(1);
    irda.Write(&b.value, 1);
  }
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 306; }, 3000));
  irda.Hangup();
  EXPECT_TRUE(PumpUntil([&] { return procedureRuns_ > 0; }, 8000));
  EXPECT_EQ(kestrel_.PortHandle, INVALID_HANDLE_VALUE);
}

TEST_F(WatcherBench, APairPlaysOnceAndANonCompletingSecondCodeDropsBoth) {
  list_.AddString("LW 00 41;LW 00 42;MOVE 10 0;");
  ASSERT_TRUE(watcher_.Start());
  Play(ir55::Script().Press(0x41).Wait(100).Press(0x42));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().x == 310; }, 2000));
  Play(ir55::Script().Press(0x41).Wait(100).Press(0x43).Wait(100).Press(0x42));
  Pump(300);
  EXPECT_EQ(bench::CursorPos().x, 310);
}

TEST_F(WatcherBench, SuspensionKeepsAPendingFirstCodeAndDropsWhatCameMeanwhile) {
  list_.AddString("LW 00 41;LW 00 42;MOVE 0 10;");
  list_.AddString("LW 00 43;MOVE 10 0;");
  ASSERT_TRUE(watcher_.Start());
  Play(ir55::Script().Press(0x41));
  EXPECT_TRUE(watcher_.Suspend());
  // Presses made while the window is shown are nobody's: not played at the resume.
  Play(ir55::Script().Press(0x43).Press(0x43).Press(0x43));
  watcher_.Resume();
  Play(ir55::Script().Press(0x42));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 310; }, 2000));
  EXPECT_EQ(bench::CursorPos().x, 300);
}

TEST_F(WatcherBench, ALineThatClosesIsNoticedAndAHalfPairDoesNotOutliveIt) {
  list_.AddString("LW 00 41;LW 00 42;MOVE 10 0;");
  list_.AddString("LW 00 42;MOVE 0 9;");
  reopen_ = true;
  ASSERT_TRUE(watcher_.Start());
  bench::MessageBoxCapture boxes(IDOK, watcher_.GetId());
  Play(ir55::Script().Press(0x41));  // the first of the pair, pending
  // Reads of a closed line succeed empty: only the port's status tells.
  ASSERT_TRUE(receiver_.Shut());
  ASSERT_TRUE(PumpUntil([&] { return procedureRuns_ > 0; }, 5000));
  ASSERT_TRUE(comeback_ && comeback_->ok());
  bench::Ir55Feeder feeder(*comeback_, ir55::Script().Press(0x42));
  while (!feeder.Done()) Pump(10);
  // The press after the receiver came back is a code of its own, not the pair's second.
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 309; }, 2000));
  EXPECT_EQ(bench::CursorPos().x, 300);
  EXPECT_EQ(procedureRuns_, 1);
}

TEST_F(WatcherBench, AReceiverThatGoesAwayBringsUpTheOptionsDialogAgainAndAgain) {
  list_.AddString("LW 00 41;MOVE 10 0;");
  testing::OptionDriver driver({{{}, IDCANCEL}, {{}, IDCANCEL}});
  ASSERT_TRUE(watcher_.Start());
  // Whatever the library reports on the watcher's thread is answered.
  bench::MessageBoxCapture boxes(IDOK, watcher_.GetId());
  Pump(100);
  receiver_.Hangup();
  // The read fails, the library closes the port, and the watcher runs the
  // procedure on its own thread; cancelled, it comes again after the next zero result.
  EXPECT_TRUE(PumpUntil([&] { return driver.Seen().size() >= 2; }, 10000));
  quietProcedure_ = true;
  EXPECT_GE(procedureRuns_, 2);
  EXPECT_EQ(pellow_.PortHandle, INVALID_HANDLE_VALUE);
  Pump(200);  // let a third showing, if any, be cancelled before the watcher is stopped
}

TEST_F(WatcherBench, TwoThousandPressesAreEachPlayedExactlyOnce) {
  list_.AddString("LW 00 41;KEYDOWN 41 1e0001;KEYUP 41 c01e0001;");
  list_.AddString("LW 00 42;KEYDOWN 42 300001;KEYUP 42 c0300001;");
  ASSERT_TRUE(watcher_.Start());
  probe_.Clear();
  ir55::Script script;
  for (int i = 0; i < 1000; ++i) script.Press(0x41).Press(0x42);
  Play(std::move(script));
  EXPECT_TRUE(PumpUntil([&] { return KeyDowns(0x41) + KeyDowns(0x42) >= 2000; }, 5000));
  Pump(200);
  EXPECT_EQ(KeyDowns(0x41), 1000);
  EXPECT_EQ(KeyDowns(0x42), 1000);
}

}  // namespace
}  // namespace vantor
