// The watcher thread for real: its own copy of a learned list, TPellow on a
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
#include "remotes/sir/protocols.h"
#include "remotes/sir/uart_bytes.h"

namespace vantor {
namespace {

class WatcherBench : public ::testing::Test, public TWatcherHost {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench::DisablePointerAcceleration());
    Ports.UsePellow = 1;
    Ports.UseCom1 = 1;
    ASSERT_TRUE(Receiver.ok());
    ASSERT_TRUE(PellowReceiver.UserChangePort(1));
    Probe.Focus();
    bench::SetCursorTo(300, 300);
    Pump(50);
  }
  void TearDown() override {
    // The watcher never ends by itself; stop it here so it outlives nothing it uses.
    if (Watcher.GetStatus() != TThread::Status::Created) {
      Watcher.Suspend();
      TerminateThread(Watcher.GetHandle(), 0);
      WaitForSingleObject(Watcher.GetHandle(), 5000);
    }
    if (PellowReceiver.PortHandle != INVALID_HANDLE_VALUE) PellowReceiver.Close();
  }

  // TWatcherHost
  TReceiver* ChosenReceiver() override { return Receivers.Chosen(); }
  void PortOptionsProcedure() override {
    ++ProcedureRuns;
    if (Reopen) {
      // The receiver is back: a new line behind COM1, opened as the options would.
      Comeback.emplace(1);
      PellowReceiver.UserChangePort(1);
      return;
    }
    if (QuietProcedure) {
      Sleep(20);  // the test has seen enough: keep the watcher out of windows until it is stopped
      return;
    }
    Options.PortOptionsProcedure();
  }

  // The watcher matches on the list as it stands when it starts.
  bool StartWatcher() {
    Watcher.UseEvents(List);
    return Watcher.Start();
  }
  // The GUI thread keeps pumping while it waits: the probe window sees the input.
  void Pump(unsigned ms) { Probe.Pump(ms); }
  bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeoutMs) return false;
      Pump(10);
    }
    return true;
  }
  // Light as a transceiver's bytes at `baud`, each written when the UART would have it.
  void SendLight(bench::PtyPort& port, const std::vector<std::uint32_t>& light, std::uint32_t baud) {
    DWORD t0 = GetTickCount();
    for (const sir::UartByte& b : sir::UartBytes(light, baud)) {
      while (GetTickCount() - t0 < static_cast<DWORD>(b.arrivalUs / 1000)) Pump(1);
      port.Write(&b.value, 1);
    }
  }
  void Play(ir55::Script script) {
    bench::Ir55Feeder feeder(Receiver, std::move(script));
    while (!feeder.Done()) Pump(10);
    ASSERT_TRUE(feeder.Played());
    Pump(150);  // time for the last report to be handled
  }
  int KeyDowns(unsigned vk) const {
    int n = 0;
    for (const auto& m : Probe.Messages()) n += m.message == WM_KEYDOWN && m.wParam == vk;
    return n;
  }

  bench::PtyPort Receiver{1};
  bench::InputProbe Probe{100, 100, 500, 400};
  TEventListModel List;
  PortOptionsRecord Ports;
  TPortSettings Port;  // its format code is the one the IrDA-SIR receiver captures in
  TReceivers Receivers{Ports.UseKestrel, Ports.UsePellow, Port.RcFormatCode};
  TKestrel& KestrelReceiver = Receivers.Kestrel.Raw();
  TPellow& PellowReceiver = Receivers.Pellow.Raw();
  char VirtualCom[256] = "";
  char MousePort[256] = "";
  TPortOptionsOwner Options{nullptr, Port, Ports, Receivers, VirtualCom, MousePort};
  std::atomic<int> ProcedureRuns{0};
  std::atomic<bool> QuietProcedure{false};
  bool Reopen = false;
  std::optional<bench::PtyPort> Comeback;
  TSigCatch Watcher{this};
};

TEST_F(WatcherBench, OneCodeEntriesPlayTheirMoveAndClickInAnyCase) {
  List.Add("LW 00 41;MOVE 10 -5;");
  List.Add("LW 00 0A;MOVE 0 7;");  // stored upper case; the receiver reports "LW 00 0a"
  List.Add("LW 00 43;LEFTDOWN;LEFTUP;");
  ASSERT_TRUE(StartWatcher());
  Play(ir55::Script().Press(0x41));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().x == 310; }, 2000));
  EXPECT_EQ(bench::CursorPos().y, 295);
  Play(ir55::Script().Press(0x0a));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 302; }, 2000));
  Probe.Clear();
  Play(ir55::Script().Press(0x43));
  EXPECT_TRUE(PumpUntil([&] { return Probe.Messages().size() >= 2; }, 2000));
  auto got = Probe.Messages();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, unsigned(WM_LBUTTONDOWN));
  EXPECT_EQ(got[1].message, unsigned(WM_LBUTTONUP));
  EXPECT_EQ(ProcedureRuns, 0);
}

TEST_F(WatcherBench, AnEntryLongerThan255CharactersPlaysWhole) {
  // Entries loaded from the registry may hold up to 299 characters: the move at
  // the end must not be cut off.
  std::string entry = "LW 00 44;" + std::string(260, 'X') + ";MOVE 0 -9;";
  ASSERT_LT(entry.size(), 300u);
  List.Add(entry.c_str());
  ASSERT_TRUE(StartWatcher());
  Play(ir55::Script().Press(0x44));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 291; }, 2000));
}

TEST_F(WatcherBench, WithNoReceiverChosenNothingIsRead) {
  Ports.UsePellow = 0;
  ASSERT_TRUE(StartWatcher());
  ASSERT_TRUE(Receiver.Write("\x41", 1));
  Pump(400);
  EXPECT_EQ(PellowReceiver.LastByte, 0);  // the byte waits in the port: no receive call was made
  EXPECT_EQ(ProcedureRuns, 0);
}

TEST_F(WatcherBench, WithBothFlagsOnlyTheIrdaReceiversPortIsChecked) {
  // The IrDA-SIR receiver is the one read; the IR55 receiver's closed port must
  // not bring up the options dialog after every capture that finds nothing.
  bench::PtyPort irda(2);
  PellowReceiver.Close();
  ASSERT_TRUE(KestrelReceiver.UserChangePort(2));
  Ports.UseKestrel = 1;
  ASSERT_TRUE(StartWatcher());
  Pump(1500);  // many receive steps without a signal
  EXPECT_EQ(ProcedureRuns, 0);
  // A pause is taken within one short wait, without a word to the user; the
  // line stays at the format's speed, read again after the pause.
  bench::MessageBoxCapture boxes(IDOK, Watcher.GetId());
  EXPECT_TRUE(Watcher.Suspend());
  EXPECT_TRUE(boxes.Boxes().empty());
  bench::LineSettings line;
  ASSERT_TRUE(irda.Settings(line));
  EXPECT_EQ(line.baud, 4800u);
  KestrelReceiver.Close();
}

TEST_F(WatcherBench, TheIrdaReceiverCapturesInTheProgramsFormatAndALostPortBringsUpTheOptions) {
  bench::PtyPort irda(2);
  PellowReceiver.Close();
  ASSERT_TRUE(KestrelReceiver.UserChangePort(2));
  Ports.UseKestrel = 1;
  std::strcpy(Port.RcFormatCode, "SO");  // a Sony button was learned: captures run at 9600
  List.Add("SO 01 01;MOVE 0 6;");
  QuietProcedure = true;
  ASSERT_TRUE(StartWatcher());
  bench::MessageBoxCapture boxes(IDOK, Watcher.GetId());
  bench::LineSettings line;
  ASSERT_TRUE(PumpUntil([&] { return irda.Settings(line) && line.baud == 9600; }, 3000));
  Pump(100);
  // A tap: the three frames the shortest press sends play the entry once.
  SendLight(irda, sir::RenderPress(sir::Protocol::Sony12, 0x01, 0x01, {.frames = 3}), 9600);
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 306; }, 3000));
  Pump(300);
  EXPECT_EQ(bench::CursorPos().y, 306);
  irda.Hangup();
  EXPECT_TRUE(PumpUntil([&] { return ProcedureRuns > 0; }, 8000));
  EXPECT_EQ(KestrelReceiver.PortHandle, INVALID_HANDLE_VALUE);
}

TEST_F(WatcherBench, AHeldNecButtonPlaysItsEntryForEveryRepeatCode) {
  bench::PtyPort irda(2);
  PellowReceiver.Close();
  ASSERT_TRUE(KestrelReceiver.UserChangePort(2));
  Ports.UseKestrel = 1;
  List.Add("NE 05 21;MOVE 0 6;");
  ASSERT_TRUE(StartWatcher());
  bench::LineSettings line;
  ASSERT_TRUE(PumpUntil([&] { return irda.Settings(line) && line.baud == 4800; }, 3000));
  // Held for a second: the frame and nine repeat codes, ten moves, none after.
  SendLight(irda, sir::RenderPress(sir::Protocol::Nec, 0x05, 0x21, {.holdUs = 1000000}), 4800);
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 360; }, 3000));
  Pump(400);
  EXPECT_EQ(bench::CursorPos().y, 360);
  KestrelReceiver.Close();
}

TEST_F(WatcherBench, APairPlaysOnceAndANonCompletingSecondCodeDropsBoth) {
  List.Add("LW 00 41;LW 00 42;MOVE 10 0;");
  ASSERT_TRUE(StartWatcher());
  Play(ir55::Script().Press(0x41).Wait(100).Press(0x42));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().x == 310; }, 2000));
  Play(ir55::Script().Press(0x41).Wait(100).Press(0x43).Wait(100).Press(0x42));
  Pump(300);
  EXPECT_EQ(bench::CursorPos().x, 310);
  // The first button held: its repeats are not the second code, however many come.
  for (std::uint32_t holdMs : {250u, 300u}) {
    Play(ir55::Script().Hold(0x41, holdMs).Wait(100).Press(0x42));
    EXPECT_TRUE(PumpUntil([holdMs] { return bench::CursorPos().x == (holdMs == 250 ? 320 : 330); }, 2000)) << holdMs;
  }
}

TEST_F(WatcherBench, SuspensionKeepsAPendingFirstCodeAndDropsWhatCameMeanwhile) {
  List.Add("LW 00 41;LW 00 42;MOVE 0 10;");
  List.Add("LW 00 43;MOVE 10 0;");
  ASSERT_TRUE(StartWatcher());
  Play(ir55::Script().Press(0x41));
  EXPECT_TRUE(Watcher.Suspend());
  // Presses made while the window is shown are nobody's: not played at the resume.
  Play(ir55::Script().Press(0x43).Press(0x43).Press(0x43));
  Watcher.Resume();
  Play(ir55::Script().Press(0x42));
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 310; }, 2000));
  EXPECT_EQ(bench::CursorPos().x, 300);
}

TEST_F(WatcherBench, ALineThatClosesIsNoticedAndAHalfPairDoesNotOutliveIt) {
  List.Add("LW 00 41;LW 00 42;MOVE 10 0;");
  List.Add("LW 00 42;MOVE 0 9;");
  Reopen = true;
  ASSERT_TRUE(StartWatcher());
  bench::MessageBoxCapture boxes(IDOK, Watcher.GetId());
  Play(ir55::Script().Press(0x41));  // the first of the pair, pending
  // Reads of a closed line succeed empty: only the port's status tells.
  ASSERT_TRUE(Receiver.Shut());
  ASSERT_TRUE(PumpUntil([&] { return ProcedureRuns > 0; }, 5000));
  ASSERT_TRUE(Comeback && Comeback->ok());
  bench::Ir55Feeder feeder(*Comeback, ir55::Script().Press(0x42));
  while (!feeder.Done()) Pump(10);
  // The press after the receiver came back is a code of its own, not the pair's second.
  EXPECT_TRUE(PumpUntil([] { return bench::CursorPos().y == 309; }, 2000));
  EXPECT_EQ(bench::CursorPos().x, 300);
  EXPECT_EQ(ProcedureRuns, 1);
}

TEST_F(WatcherBench, AReceiverThatGoesAwayBringsUpTheOptionsDialogAgainAndAgain) {
  List.Add("LW 00 41;MOVE 10 0;");
  testing::OptionDriver driver({{{}, IDCANCEL}, {{}, IDCANCEL}});
  ASSERT_TRUE(StartWatcher());
  // Whatever the library reports on the watcher's thread is answered.
  bench::MessageBoxCapture boxes(IDOK, Watcher.GetId());
  Pump(100);
  Receiver.Hangup();
  // The read fails, the library closes the port, and the watcher runs the
  // procedure on its own thread; cancelled, it comes again after the next zero result.
  EXPECT_TRUE(PumpUntil([&] { return driver.Seen().size() >= 2; }, 10000));
  QuietProcedure = true;
  EXPECT_GE(ProcedureRuns, 2);
  EXPECT_EQ(PellowReceiver.PortHandle, INVALID_HANDLE_VALUE);
  Pump(200);  // let a third showing, if any, be cancelled before the watcher is stopped
}

TEST_F(WatcherBench, TwoThousandPressesAreEachPlayedExactlyOnce) {
  List.Add("LW 00 41;KEYDOWN 41 1e0001;KEYUP 41 c01e0001;");
  List.Add("LW 00 42;KEYDOWN 42 300001;KEYUP 42 c0300001;");
  ASSERT_TRUE(StartWatcher());
  Probe.Clear();
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
