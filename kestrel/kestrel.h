// TKestrel: an IrDA-SIR transceiver on COM1..COM4 as a source of remote-control
// codes. Shared by kestrel.dll and the program, which reads PortHandle (invalid
// means the library has closed the port) and writes CodePrefix before a capture.
// The member layout is part of that contract: keep the order and the sizes.
#pragma once

#include <windows.h>

// The watcher's receive path keeps its state here, out of the shared layout.
struct KestrelStream;

// KESTREL_STATIC: the library linked into a test program rather than used as the DLL.
#if defined(KESTREL_STATIC)
#define KESTREL_API
#elif defined(KESTREL_BUILDING)
#define KESTREL_API __declspec(dllexport)
#else
#define KESTREL_API __declspec(dllimport)
#endif

class KESTREL_API TKestrel {
 public:
  TKestrel();
  // Releases the object only; the owner calls Close first.
  virtual ~TKestrel();
  TKestrel(const TKestrel&) = delete;
  TKestrel& operator=(const TKestrel&) = delete;

  int InitKestrelice(int port);
  int UserChangePort(int port);
  int UserChangeDelay(int Delay, char* Maker);
  int Close();
  // `timeout` is not used; `code` must hold at least 10 bytes and is left
  // untouched by most outcomes, so callers clear it first.
  int KestrelGetRemoconSignal(long timeout, char* code);
  // The watcher's receive path: the port stays at the format's speed and is read
  // between presses. Waits up to waitMs for bytes (less when a frame's end is
  // due) and returns at once when a frame is decided: 1 with the code of a new
  // press, KestrelHeld with the code of the button still held, 0 with `code`
  // untouched. A break asked for ends the call before it waits.
  static constexpr int KestrelHeld = 2;
  int KestrelWaitRemoconSignal(long timeout, char* code, DWORD waitMs);
  int KestrelBreakGetRemoconSignal();
  int KestrelSendRemoconSignal(char* data, int* length);
  int CheckCrossam();
  int CheckModem();

  int PortNumber;             // last number given to UserChangePort
  char PortName[10];          // "COM%d"
  BOOL LastApiResult;         // last state or time-out call
  BYTE BreakRequested;        // set by KestrelBreakGetRemoconSignal, cleared per capture
  HANDLE PortHandle;          // INVALID_HANDLE_VALUE while closed
  DCB PortState;
  COMMTIMEOUTS PortTimeouts;
  DWORD BytesRead;
  DWORD BytesWritten;
  DWORD CaptureLength;        // bytes held in CaptureBuffer
  BYTE SendBuffer[4096];
  DWORD SendLength;
  BYTE CaptureBuffer[1024];   // raw bytes of the last capture
  char StoredGroup[32];       // all '?' when empty, else a terminated text
  char StoredData[32];        // all '?' when empty, else a terminated text
  char CodePrefix[16];        // format code of the next capture
  int DelayValue;             // last value given to UserChangeDelay
  // Appended: the other members keep their places. Owned by the object.
  KestrelStream* Stream;      // state of KestrelWaitRemoconSignal
};
