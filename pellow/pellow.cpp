#include "pellow/pellow.h"

#include <cstdio>
#include <cstring>

#include "pellow/pellow_core.h"
#include "win32/open_serial_port.h"
#include "win32/serial_calls.h"
#include "win32/utf8_to_wide.h"

namespace {

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr UINT kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL;
constexpr DWORD kReceiverBaud = 1200;
// The speed the line is left at whenever the library lets go of it.
constexpr DWORD kRestBaud = 19200;
constexpr DWORD kInputQueue = 1024;
constexpr DWORD kOutputQueue = 4096;

// Exclusive and synchronous at the receiver's speed; reads return at once. Once the
// speed is set, a failure puts the line back to 19200 first.
const vantor::SerialSetup kPortSetup{GENERIC_READ | GENERIC_WRITE, kPurgeAll, kReceiverBaud, false,
                                     vantor::kImmediateReads, kInputQueue, kOutputQueue, kRestBaud};
// The box caption of each failed opening step, in the order of vantor::SerialStep.
constexpr const char* kOpenCaptions[] = {"", "Error M-3", "Error M-5", "Error M-6",
                                         "Error M-8", "Error M-10", "Error M-12", "Error M-13"};

// Stored as UTF-8 and shown through the wide API so it reads right on any code page.
constexpr char kDelayText[] = "実験FALSEを返す(再度初期化に失敗した想定)";
constexpr char kDelayCaption[] = "Pellow.DLL TPellow::UserChangeDelay(Delay,Maker) M-15";

bool IsOpen(const TPellow& p) { return p.PortHandle != INVALID_HANDLE_VALUE; }

void ShowError(const char* text, const char* caption) {
  MessageBoxExA(nullptr, text, caption, kErrorStyle, 0);
}

void ReleasePort(TPellow& p) { vantor::CloseSerialPort(p.PortHandle); }

BOOL SetRestSpeed(TPellow& p) {
  p.PortState.BaudRate = kRestBaud;
  p.LastApiResult = vantor::SerialSeam().SetCommState(p.PortHandle, &p.PortState);
  return p.LastApiResult;
}

// A read failed. The message is shown only if the port could still be set back to
// 19200; a port that is already closed ends here silently (INVALID_HANDLE_VALUE is
// the process pseudo-handle, so it must not reach the serial calls).
BOOL AbandonRead(TPellow& p) {
  if (!IsOpen(p)) return FALSE;
  const BOOL reset = SetRestSpeed(p);
  ReleasePort(p);
  if (reset) ShowError("ReadFileEroor", "ReadFileEroor M-36");
  return FALSE;
}

// Reads return at once with what is queued (waitMs 0), or wait up to waitMs for
// the first byte and return as soon as it comes. The handle's time-outs are
// changed only when they differ, so a caller that keeps one mode costs no call.
bool SetReadWait(TPellow& p, DWORD waitMs) {
  COMMTIMEOUTS& t = p.PortTimeouts;
  const DWORD multiplier = waitMs ? MAXDWORD : 0;
  if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == multiplier &&
      t.ReadTotalTimeoutConstant == waitMs)
    return true;
  t.ReadIntervalTimeout = MAXDWORD;
  t.ReadTotalTimeoutMultiplier = multiplier;
  t.ReadTotalTimeoutConstant = waitMs;
  p.LastApiResult = vantor::SerialSeam().SetCommTimeouts(p.PortHandle, &t);
  return p.LastApiResult;
}

// After a waited read that came back empty: a line whose far end has closed
// reads as empty, and only the port's status tells that it is gone.
bool LineGone(TPellow& p) {
  DWORD errors = 0;
  COMSTAT status{};
  return !vantor::SerialSeam().ClearCommError(p.PortHandle, &errors, &status);
}

bool ReadPort(TPellow& p, BYTE* into, DWORD room) {
  p.BytesRead = 0;
  if (!IsOpen(p)) return false;
  if (!vantor::SerialSeam().ReadFile(p.PortHandle, into, room, &p.BytesRead, nullptr)) return false;
  if (p.BytesRead > room) p.BytesRead = room;
  return true;
}

void WriteCode(TPellow& p, char* text, std::int32_t codeByte) {
  pellow::FormatCode(text, pellow::kCodeTextSize, p.CodePrefix, codeByte);
  pellow::ResetPrefix(p.CodePrefix);
}

BOOL NothingYet(TPellow& p) {
  pellow::ResetPrefix(p.CodePrefix);
  std::memset(p.CaptureBuffer, 0, sizeof p.CaptureBuffer);
  return FALSE;
}

}  // namespace

static_assert(sizeof(TPellow::CodePrefix) == pellow::kPrefixSize);
static_assert(sizeof(TPellow::CaptureBuffer) == pellow::kCaptureSize);

TPellow::TPellow()
    : PortNumber(0),
      PortName{},
      LastApiResult(FALSE),
      BreakRequested(0),
      PortHandle(INVALID_HANDLE_VALUE),
      PortState{},
      PortTimeouts{},
      BytesRead(0),
      CaptureLength(0),
      CaptureBuffer{},
      CodePrefix{},
      PressFlag(0),
      LastByte(0),
      DelayValue(0) {
  pellow::ResetPrefix(CodePrefix);
}

TPellow::~TPellow() = default;

BOOL TPellow::InitKestrelice(int port) { return UserChangePort(port); }

BOOL TPellow::UserChangePort(int port) {
  PortNumber = port;
  if (IsOpen(*this)) return FALSE;

  std::snprintf(PortName, sizeof PortName, "COM%d", port);
  const vantor::SerialStep failed =
      vantor::OpenSerialPort(PortName, kPortSetup, {PortHandle, PortState, PortTimeouts, LastApiResult});
  if (failed == vantor::SerialStep::None) return TRUE;
  ReleasePort(*this);
  ShowError(vantor::SerialStepText(failed), kOpenCaptions[static_cast<int>(failed)]);
  return FALSE;
}

BOOL TPellow::Close() {
  if (IsOpen(*this)) {
    SetRestSpeed(*this);
    ReleasePort(*this);
  }
  return TRUE;
}

BOOL TPellow::PellowGetRemoconSignal(long, char* text) {
  std::memset(CaptureBuffer, 0, sizeof CaptureBuffer);
  CaptureLength = 0;
  // Whatever arrived before the call belongs to no burst of ours.
  if (IsOpen(*this)) {
    vantor::SerialSeam().PurgeComm(PortHandle, kPurgeAll);
    if (!SetReadWait(*this, 0)) return AbandonRead(*this);
  }

  pellow::BurstPoll poll;
  pellow::BurstStep step;
  for (;;) {
    if (!ReadPort(*this, CaptureBuffer + CaptureLength, sizeof CaptureBuffer - CaptureLength))
      return AbandonRead(*this);
    CaptureLength += BytesRead;
    step = pellow::BurstAfterPoll(poll, BytesRead, CaptureLength);
    if (step != pellow::BurstStep::Continue) break;
    Sleep(pellow::kBurstPollIntervalMs);
  }
  // A line whose far end has closed reads as silence: only its status tells.
  if (step == pellow::BurstStep::Silent) return LineGone(*this) ? AbandonRead(*this) : NothingYet(*this);

  const int codeByte = pellow::BurstCodeByte(CaptureBuffer, CaptureLength);
  if (codeByte < 0) return NothingYet(*this);  // markers only: no button in it
  WriteCode(*this, text, pellow::WidenCodeByte(static_cast<unsigned char>(codeByte)));
  return TRUE;
}

BOOL TPellow::PellowGetRemoconSignal2(long limit, char* text) { return PellowWaitRemoconSignal2(limit, text, 0); }

BOOL TPellow::PellowWaitRemoconSignal2(long, char* text, DWORD waitMs) {
  if (!IsOpen(*this)) return AbandonRead(*this);
  if (!SetReadWait(*this, waitMs)) return AbandonRead(*this);
  if (!ReadPort(*this, CaptureBuffer, 1)) return AbandonRead(*this);
  if (BytesRead == 0) {
    if (waitMs && LineGone(*this)) return AbandonRead(*this);
    return NothingYet(*this);
  }

  const pellow::StreamReport r = pellow::StreamStep(CaptureBuffer[0], PressFlag, LastByte);
  if (!r.report) return NothingYet(*this);
  WriteCode(*this, text, r.codeByte);
  return TRUE;
}

BOOL TPellow::PellowBreakGetRemoconSignal() {
  BreakRequested = 1;
  return MessageBoxExA(nullptr, "TPellow::PellowBreakGetRemoconSignal()", "M-49", MB_OK, 0);
}

BOOL TPellow::UserChangeDelay(int Delay, char*) {
  DelayValue = Delay;
  wchar_t text[64];
  wchar_t caption[64];
  vantor::Utf8ToWide(kDelayText, text, sizeof text / sizeof text[0]);
  vantor::Utf8ToWide(kDelayCaption, caption, sizeof caption / sizeof caption[0]);
  return MessageBoxExW(nullptr, text, caption, MB_OKCANCEL, 0) == IDOK ? FALSE : TRUE;
}

BOOL TPellow::PellowSendRemoconSignal(char*, int*) { return TRUE; }

BOOL TPellow::CheckCrossam() { return FALSE; }

BOOL TPellow::CheckModem() { return FALSE; }
