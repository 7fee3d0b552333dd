#include "pellow/pellow.h"

#include <cstdio>
#include <cstring>

#include "pellow/pellow_core.h"
#include "pellow/serial_api.h"

namespace {

PellowSerialApi g_serial = {
    ::CreateFileA,     ::PurgeComm,       ::GetCommState, ::SetCommState, ::GetCommTimeouts,
    ::SetCommTimeouts, ::SetupComm,       ::ReadFile,     ::CloseHandle,  ::ClearCommError,
};

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr UINT kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL;
constexpr DWORD kReceiverBaud = 1200;
// The speed the line is left at whenever the library lets go of it.
constexpr DWORD kRestBaud = 19200;
constexpr DWORD kInputQueue = 1024;
constexpr DWORD kOutputQueue = 4096;

constexpr char kOpenFailed[] =
    "Cannot open serial port !\n\nAnother communication software using this port?\n\n\n";

// Stored as UTF-8 and shown through the wide API so it reads right on any code page.
constexpr char kDelayText[] = "実験FALSEを返す(再度初期化に失敗した想定)";
constexpr char kDelayCaption[] = "Pellow.DLL TPellow::UserChangeDelay(Delay,Maker) M-15";

bool IsOpen(const TPellow& p) { return p.PortHandle != INVALID_HANDLE_VALUE; }

void ShowError(const char* text, const char* caption) {
  MessageBoxExA(nullptr, text, caption, kErrorStyle, 0);
}

void ReleasePort(TPellow& p) {
  if (IsOpen(p)) g_serial.closeHandle(p.PortHandle);
  p.PortHandle = INVALID_HANDLE_VALUE;
}

BOOL SetRestSpeed(TPellow& p) {
  p.PortState.BaudRate = kRestBaud;
  p.LastApiResult = g_serial.setCommState(p.PortHandle, &p.PortState);
  return p.LastApiResult;
}

// A failed opening step: the line goes back to 19200 first if it was already at the
// receiver's speed, then the port is let go and the failure shown.
BOOL AbandonOpen(TPellow& p, bool speedChanged, const char* text, const char* caption) {
  if (speedChanged) SetRestSpeed(p);
  ReleasePort(p);
  ShowError(text, caption);
  return FALSE;
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
  p.LastApiResult = g_serial.setCommTimeouts(p.PortHandle, &t);
  return p.LastApiResult;
}

// After a waited read that came back empty: a line whose far end has closed
// reads as empty, and only the port's status tells that it is gone.
bool LineGone(TPellow& p) {
  DWORD errors = 0;
  COMSTAT status{};
  return !g_serial.clearCommError(p.PortHandle, &errors, &status);
}

bool ReadPort(TPellow& p, BYTE* into, DWORD room) {
  p.BytesRead = 0;
  if (!IsOpen(p)) return false;
  if (!g_serial.readFile(p.PortHandle, into, room, &p.BytesRead, nullptr)) return false;
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

void Widen(const char* utf8, wchar_t* out, int outCount) {
  if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out, outCount) == 0) out[0] = L'\0';
}

}  // namespace

static_assert(sizeof(TPellow::CodePrefix) == pellow::kPrefixSize);
static_assert(sizeof(TPellow::CaptureBuffer) == pellow::kCaptureSize);

extern "C" PellowSerialApi* pellow_serial_api() { return &g_serial; }

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
  PortHandle = g_serial.createFile(PortName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
  if (!IsOpen(*this)) {
    ShowError(kOpenFailed, "Error M-3");
    return FALSE;
  }
  if (!g_serial.purgeComm(PortHandle, kPurgeAll))
    return AbandonOpen(*this, false, "fault clear buffer", "Error M-5");

  LastApiResult = g_serial.getCommState(PortHandle, &PortState);
  if (!LastApiResult) return AbandonOpen(*this, false, "fault get com state", "Error M-6");

  PortState.BaudRate = kReceiverBaud;
  PortState.ByteSize = 8;
  PortState.Parity = NOPARITY;
  PortState.StopBits = ONESTOPBIT;
  PortState.fBinary = 1;
  LastApiResult = g_serial.setCommState(PortHandle, &PortState);
  if (!LastApiResult) return AbandonOpen(*this, false, "fault change baudrate", "Error M-8");

  LastApiResult = g_serial.getCommTimeouts(PortHandle, &PortTimeouts);
  if (!LastApiResult)
    return AbandonOpen(*this, true, "fault get timeout parameter", "Error M-10");

  // Interval MAXDWORD with everything else 0: a read returns at once with what is queued.
  PortTimeouts.ReadIntervalTimeout = MAXDWORD;
  PortTimeouts.ReadTotalTimeoutMultiplier = 0;
  PortTimeouts.ReadTotalTimeoutConstant = 0;
  PortTimeouts.WriteTotalTimeoutMultiplier = 0;
  PortTimeouts.WriteTotalTimeoutConstant = 0;
  LastApiResult = g_serial.setCommTimeouts(PortHandle, &PortTimeouts);
  if (!LastApiResult)
    return AbandonOpen(*this, true, "fault set timeout parameter", "Error M-12");

  if (!g_serial.setupComm(PortHandle, kInputQueue, kOutputQueue))
    return AbandonOpen(*this, true, "fault SetupComm", "Error M-13");
  return TRUE;
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
    g_serial.purgeComm(PortHandle, kPurgeAll);
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
  if (step == pellow::BurstStep::Silent) return NothingYet(*this);

  WriteCode(*this, text, pellow::WidenCodeByte(pellow::BurstCodeByte(CaptureBuffer, CaptureLength)));
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
  Widen(kDelayText, text, sizeof text / sizeof text[0]);
  Widen(kDelayCaption, caption, sizeof caption / sizeof caption[0]);
  return MessageBoxExW(nullptr, text, caption, MB_OKCANCEL, 0) == IDOK ? FALSE : TRUE;
}

BOOL TPellow::PellowSendRemoconSignal(char*, int*) { return TRUE; }

BOOL TPellow::CheckCrossam() { return FALSE; }

BOOL TPellow::CheckModem() { return FALSE; }
