#include "kestrel/kestrel.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "kestrel/capture_loop.h"
#include "kestrel/decode.h"
#include "kestrel/format_code.h"
#include "kestrel/format_records.h"
#include "kestrel/frame_stream.h"
#include "win32/open_serial_port.h"
#include "win32/serial_calls.h"
#include "win32/utf8_to_wide.h"

namespace {

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
// Errors stop every window of the task until answered: nothing else may use the port meanwhile.
constexpr UINT kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL;  // 0x2030
constexpr DWORD kInputQueue = 1024;
constexpr DWORD kOutputQueue = 4096;

void ShowError(const char* text, const char* caption) {
  MessageBoxExA(nullptr, text, caption, kErrorStyle, 0);
}

// Exclusive and synchronous at the idle speed: the capture reads with immediate
// time-outs, no overlapped I/O. Once the speed is set, a failure puts it back first.
const vantor::SerialSetup kPortSetup{GENERIC_READ | GENERIC_WRITE, kPurgeAll, kestrel::kIdleBaud, false,
                                     vantor::kImmediateReads, kInputQueue, kOutputQueue, kestrel::kIdleBaud};
// The box caption of each failed opening step, in the order of vantor::SerialStep.
constexpr const char* kOpenCaptions[] = {"", "Error I-3", "Error I-5", "Error I-6",
                                         "Error I-8", "Error I-10", "Error I-12", "Error I-13"};

// The Japanese notice is kept as UTF-8 and shown through the wide API.
int AskWide(const char* utf8Text, const char* utf8Caption, UINT style) {
  wchar_t text[128];
  wchar_t caption[128];
  vantor::Utf8ToWide(utf8Text, text, 128);
  vantor::Utf8ToWide(utf8Caption, caption, 128);
  return MessageBoxExW(nullptr, text, caption, style, 0);
}

// The break flag is set from one thread while a capture runs on another.
std::atomic_ref<BYTE> BreakFlag(TKestrel& k) { return std::atomic_ref<BYTE>(k.BreakRequested); }

// Everything a failure path needs, without widening the shared class.
struct Port {
  TKestrel& k;
  vantor::SerialCalls& api = vantor::SerialSeam();

  BOOL SetBaud(DWORD baud) {
    k.PortState.BaudRate = baud;
    k.LastApiResult = api.SetCommState(k.PortHandle, &k.PortState);
    return k.LastApiResult;
  }
  void CloseHandleOnly() { vantor::CloseSerialPort(k.PortHandle); }
  // Gives up on the port: optionally back to the idle speed first (result
  // recorded, not acted on), closed, then the user is told.
  int Abandon(bool idleSpeedFirst, const char* text, const char* caption) {
    if (idleSpeedFirst) SetBaud(kestrel::kIdleBaud);
    CloseHandleOnly();
    ShowError(text, caption);
    return 0;
  }
};

// Recognition works on the object's own members: the program reads and writes
// CodePrefix between captures.
kestrel::RecognitionView RecognitionMembers(TKestrel& k) { return {k.CodePrefix, k.StoredGroup, k.StoredData}; }

// After the capture: decode the held frame in `format` (the record of CodePrefix
// the capture ran at, null for an unknown code), show the notice or candidate
// message if there is one, and hand back the result.
int DecodeAndTell(TKestrel& k, const kestrel::FormatRecord* format, char* code) {
  const kestrel::CaptureOutcome outcome =
      kestrel::DecodeCapture(k.CaptureBuffer, k.CaptureLength, format, RecognitionMembers(k));

  if (outcome.hasMessage) {
    MessageBoxExA(nullptr, outcome.message.text.c_str(), outcome.message.caption.c_str(), outcome.message.style,
                  0);
  }
  // Most outcomes leave the caller's text alone; the caller cleared it before the call.
  if (outcome.writeCode && code != nullptr) std::memcpy(code, outcome.code, sizeof outcome.code);
  return outcome.result;
}

// A read failed: back to the idle speed and closed. If even the speed cannot be
// set the line is gone: close without a word.
int ReadFailed(Port& p) {
  if (!p.SetBaud(kestrel::kIdleBaud)) {
    p.CloseHandleOnly();
    return 0;
  }
  // Set once more on purpose: the first call only tested whether the line still
  // answers; the port is left at the idle speed by a call of its own, as before
  // every close.
  p.SetBaud(kestrel::kIdleBaud);
  p.CloseHandleOnly();
  ShowError("ReadFileEroor", "ReadFileEroor I-36");
  return 0;
}

constexpr unsigned kLineCheckEvery = 10;

// A caller that has not listened for this long was paused (the window shown, the
// wizard learning): what came meanwhile belongs to no one.
constexpr DWORD kStaleMs = 1000;

// Milliseconds of a clock finer than the tick count's 10 to 16 ms: a repeat code
// is told from a frame by 12 ms of silence.
DWORD NowMs() {
  static const LONGLONG perSecond = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 1000;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<DWORD>(now.QuadPart / (perSecond / 1000 > 0 ? perSecond / 1000 : 1));
}

// After a waited read that came back empty: a line whose far end has closed
// reads as empty, and only the port's status tells that it is gone.
bool LineGone(TKestrel& k) {
  DWORD errors = 0;
  COMSTAT status{};
  return !vantor::SerialSeam().ClearCommError(k.PortHandle, &errors, &status);
}

}  // namespace

// Bytes read but not yet fed wait here for the next call.
struct KestrelStream {
  kestrel::FrameStream Frames;
  bool Listening = false;
  // The letters of CodePrefix last seen and their record (null: unknown), looked
  // up again only when the program has written others.
  char Letters[2] = {};
  const kestrel::FormatRecord* Record = nullptr;
  bool LookedUp = false;
  DWORD LastCallMs = 0;
  BYTE Read[kestrel::kCaptureBufferSize] = {};
  DWORD ReadFrom = 0, ReadCount = 0, ReadAtMs = 0;
  unsigned EmptyWaits = 0;
};

TKestrel::TKestrel()
    : PortNumber(0),
      PortName{},
      LastApiResult(0),
      BreakRequested(0),
      PortHandle(INVALID_HANDLE_VALUE),
      PortState{},
      PortTimeouts{},
      BytesRead(0),
      BytesWritten(0),
      CaptureLength(0),
      SendBuffer{},
      SendLength(0),
      CaptureBuffer{},
      StoredGroup{},
      StoredData{},
      CodePrefix{},
      DelayValue(0),
      Stream(new (std::nothrow) KestrelStream) {
  kestrel::Reset(RecognitionMembers(*this));
}

TKestrel::~TKestrel() { delete Stream; }

int TKestrel::InitKestrelice(int port) { return UserChangePort(port); }

int TKestrel::UserChangePort(int port) {
  PortNumber = port;
  // Changing ports takes a Close first; the open port is left alone.
  if (PortHandle != INVALID_HANDLE_VALUE) return 0;

  std::snprintf(PortName, sizeof PortName, "COM%d", port);
  const vantor::SerialStep failed =
      vantor::OpenSerialPort(PortName, kPortSetup, {PortHandle, PortState, PortTimeouts, LastApiResult});
  if (failed == vantor::SerialStep::None) return 1;
  vantor::CloseSerialPort(PortHandle);
  ShowError(vantor::SerialStepText(failed), kOpenCaptions[static_cast<int>(failed)]);
  return 0;
}

int TKestrel::UserChangeDelay(int Delay, char* Maker) {
  (void)Maker;
  DelayValue = Delay;
  int answer = AskWide("実験FALSEを返す(再度初期化に失敗した想定)",
                       "Kestrel.DLL TKestrel::UserChangeDelay(Delay,Maker) I-15", MB_OKCANCEL);
  return answer == IDOK ? 0 : 1;
}

int TKestrel::Close() {
  if (Stream != nullptr) Stream->Listening = false;
  if (PortHandle != INVALID_HANDLE_VALUE) {
    Port p{*this};
    // The next user of the port finds it at the idle speed.
    p.SetBaud(kestrel::kIdleBaud);
    p.CloseHandleOnly();
  }
  return 1;
}

int TKestrel::KestrelGetRemoconSignal(long timeout, char* code) {
  (void)timeout;
  Port p{*this};
  BreakFlag(*this).store(0);
  // A closed port fails at the speed step. Its invalid value is the process's own
  // pseudo-handle, so it must not reach the serial calls.
  if (PortHandle == INVALID_HANDLE_VALUE) {
    ShowError("fault change baudrate", "Error I-33");
    return 0;
  }
  // Whatever arrived before the call is not part of this frame.
  p.api.PurgeComm(PortHandle, kPurgeAll);

  // One look-up serves the speed and the decode.
  const kestrel::FormatRecord* format = kestrel::FindFormat(CodePrefix);
  if (!p.SetBaud(kestrel::CaptureBaudOf(format, PortState.BaudRate))) {
    return p.Abandon(true, "fault change baudrate", "Error I-33");
  }
  PortTimeouts = vantor::kImmediateReads;
  LastApiResult = p.api.SetCommTimeouts(PortHandle, &PortTimeouts);
  if (!LastApiResult) return p.Abandon(true, "fault set timeout parameter", "Error I-33-2");

  std::memset(CaptureBuffer, 0, sizeof CaptureBuffer);
  CaptureLength = 0;
  kestrel::CapturePoll poll;
  bool broken = false;
  for (;;) {
    DWORD request = kestrel::ReadRequest(CaptureLength);
    DWORD got = 0;
    BOOL ok = p.api.ReadFile(PortHandle, CaptureBuffer + CaptureLength, request, &got, nullptr);
    BytesRead = got;
    if (!ok) return ReadFailed(p);
    if (got > request) got = request;  // never trust a count past what was asked for
    CaptureLength += got;
    kestrel::CapturePoll::Next next = poll.AfterRead(got);
    if (next == kestrel::CapturePoll::Next::Leave) break;
    p.api.Sleep(kestrel::CapturePoll::kPollMs);
    if (next == kestrel::CapturePoll::Next::SleepThenLeave) break;
    // A break asked for from another thread ends the wait quietly: no code.
    if (BreakFlag(*this).load()) {
      broken = true;
      break;
    }
  }

  // With or without a signal the port must be back at the idle speed; a port that
  // cannot be is given up, not left at the capture speed.
  if (!p.SetBaud(kestrel::kIdleBaud)) {
    // The user hears of it while the port is still held, then it is let go.
    ShowError("fault change baudrate", "Error I-39");
    p.CloseHandleOnly();
    return 0;
  }
  if (broken || poll.NoSignal(CaptureLength)) return 0;
  p.api.PurgeComm(PortHandle, kPurgeAll);
  return DecodeAndTell(*this, format, code);
}

int TKestrel::KestrelWaitRemoconSignal(long timeout, char* code, DWORD waitMs) {
  (void)timeout;
  if (Stream == nullptr) return 0;
  KestrelStream& s = *Stream;
  // The caller's pause: back before waiting.
  if (BreakFlag(*this).exchange(0)) return 0;
  if (PortHandle == INVALID_HANDLE_VALUE) {
    s.Listening = false;
    return 0;
  }
  Port p{*this};
  DWORD now = NowMs();

  if (!s.LookedUp || std::memcmp(s.Letters, CodePrefix, sizeof s.Letters) != 0) {
    std::memcpy(s.Letters, CodePrefix, sizeof s.Letters);
    s.Record = kestrel::FindFormat(CodePrefix);
    s.LookedUp = true;
  }
  // An unknown code is listened for in the first pass.
  const kestrel::FormatRecord& format = s.Record != nullptr ? *s.Record : kestrel::KnownFormat(kestrel::kFirstPass);
  const unsigned baud = kestrel::CaptureBaudOf(&format, kestrel::kIdleBaud);
  // A new format, a port a capture or a reopening has set back to the idle
  // speed, or a caller back from a pause: listen afresh.
  if (!s.Listening || &s.Frames.Format() != &format || PortState.BaudRate != baud ||
      now - s.LastCallMs > kStaleMs) {
    s.Listening = false;
    if (!p.SetBaud(baud)) return p.Abandon(true, "fault change baudrate", "Error I-33");
    p.api.PurgeComm(PortHandle, PURGE_RXABORT | PURGE_RXCLEAR);
    s.Frames.Start(format);
    s.ReadFrom = s.ReadCount = 0;
    s.Listening = true;
  }

  kestrel::StreamReport heard;
  if (s.ReadFrom < s.ReadCount) {
    // Bytes of an earlier read come first, at the time they came.
    std::size_t used = 0;
    heard = s.Frames.Feed(s.Read + s.ReadFrom, s.ReadCount - s.ReadFrom, s.ReadAtMs, used);
    s.ReadFrom += static_cast<DWORD>(used);
  } else {
    // A read that returns as soon as a byte is queued, or after the wait: with
    // the interval and the multiplier at MAXDWORD the constant is the whole wait.
    const DWORD wait = s.Frames.WaitLimit(now, waitMs);
    const DWORD multiplier = wait != 0 ? MAXDWORD : 0;
    if (PortTimeouts.ReadIntervalTimeout != MAXDWORD || PortTimeouts.ReadTotalTimeoutMultiplier != multiplier ||
        PortTimeouts.ReadTotalTimeoutConstant != wait) {
      PortTimeouts = vantor::kImmediateReads;
      PortTimeouts.ReadTotalTimeoutMultiplier = multiplier;
      PortTimeouts.ReadTotalTimeoutConstant = wait;
      LastApiResult = p.api.SetCommTimeouts(PortHandle, &PortTimeouts);
      if (!LastApiResult) {
        s.Listening = false;
        return p.Abandon(true, "fault set timeout parameter", "Error I-33-2");
      }
    }
    // Wine keeps such a read waiting until it has all it asked for, so the wait
    // asks for one byte, and what is queued behind it is then taken at once.
    DWORD got = 0;
    BOOL ok = p.api.ReadFile(PortHandle, s.Read, 1, &got, nullptr);
    if (ok && got == 1) {
      DWORD errors = 0;
      COMSTAT status{};
      if (p.api.ClearCommError(PortHandle, &errors, &status) && status.cbInQue > 0) {
        const DWORD more = std::min<DWORD>(status.cbInQue, sizeof s.Read - 1);
        DWORD gotMore = 0;
        ok = p.api.ReadFile(PortHandle, s.Read + 1, more, &gotMore, nullptr);
        got += std::min(gotMore, more);
      }
    }
    BytesRead = got;
    if (!ok) {
      s.Listening = false;
      return ReadFailed(p);
    }
    now = NowMs();
    if (got > sizeof s.Read) got = sizeof s.Read;  // never trust a count past what was asked for
    if (got == 0) {
      // Asking the port's status costs as much as the wait's read: every tenth
      // empty wait is soon enough to notice a receiver gone.
      if (wait != 0 && ++s.EmptyWaits % kLineCheckEvery == 0 && LineGone(*this)) {
        s.Listening = false;
        return ReadFailed(p);
      }
      heard = s.Frames.Quiet(now);
    } else {
      std::size_t used = 0;
      heard = s.Frames.Feed(s.Read, got, now, used);
      s.ReadFrom = static_cast<DWORD>(used);
      s.ReadCount = got;
      s.ReadAtMs = now;
    }
  }
  s.LastCallMs = now;

  switch (heard.heard) {
    case kestrel::Heard::Nothing: return 0;
    case kestrel::Heard::Press:
    case kestrel::Heard::Held:
      if (code != nullptr) std::memcpy(code, heard.code, sizeof heard.code);
      return heard.heard == kestrel::Heard::Held ? KestrelHeld : 1;
    case kestrel::Heard::Burst: {
      // A press read as a whole is decoded as a capture of it would be.
      const std::vector<std::uint8_t>& bytes = s.Frames.Bytes();
      std::memset(CaptureBuffer, 0, sizeof CaptureBuffer);
      CaptureLength = static_cast<DWORD>(std::min(bytes.size(), sizeof CaptureBuffer));
      std::memcpy(CaptureBuffer, bytes.data(), CaptureLength);
      return DecodeAndTell(*this, s.Record, code);
    }
  }
  return 0;
}

int TKestrel::KestrelBreakGetRemoconSignal() {
  // A running capture on another thread ends at its next poll.
  BreakFlag(*this).store(1);
  return MessageBoxExA(nullptr, "TKestrel::KestrelBreakGetRemoconSignal()", "I-49", MB_OK, 0);
}

int TKestrel::KestrelSendRemoconSignal(char* data, int* length) {
  (void)data;
  (void)length;
  return 0;
}

int TKestrel::CheckCrossam() { return 0; }

int TKestrel::CheckModem() { return 0; }
