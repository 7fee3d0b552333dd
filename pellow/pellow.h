// TPellow: the IR55 receiver on COM1 to COM4. This declaration is shared with the
// program, which reads PortHandle and writes CodePrefix, so the member layout is part
// of the library's interface: change it only together with the program.
#pragma once

#include <windows.h>

// PELLOW_STATIC: the library linked into a test program rather than used as the DLL.
#if defined(PELLOW_STATIC)
#define PELLOW_API
#elif defined(PELLOW_BUILDING)
#define PELLOW_API __declspec(dllexport)
#else
#define PELLOW_API __declspec(dllimport)
#endif

static_assert(sizeof(int) == 4, "the shared layout uses 32-bit ints");

class PELLOW_API TPellow {
 public:
  TPellow();
  virtual ~TPellow();  // does not close the port: call Close first

  BOOL InitKestrelice(int port);
  BOOL UserChangePort(int port);
  BOOL Close();
  // Both receive calls ignore limit; text must hold 28 bytes.
  BOOL PellowGetRemoconSignal(long limit, char* text);   // blocking burst read, up to about 5 s
  BOOL PellowGetRemoconSignal2(long limit, char* text);  // one non-blocking step of the stream
  // The same step, but its read waits up to waitMs for a byte (and returns as soon
  // as one comes), so a caller can sleep on the port instead of polling it.
  BOOL PellowWaitRemoconSignal2(long limit, char* text, DWORD waitMs);
  BOOL PellowBreakGetRemoconSignal();
  BOOL UserChangeDelay(int Delay, char* Maker);
  BOOL PellowSendRemoconSignal(char* code, int* count);
  BOOL CheckCrossam();
  BOOL CheckModem();

  // One access level for all members keeps them in declaration order.
  int PortNumber;
  char PortName[10];
  BOOL LastApiResult;
  BYTE BreakRequested;
  HANDLE PortHandle;  // INVALID_HANDLE_VALUE while closed
  DCB PortState;
  COMMTIMEOUTS PortTimeouts;
  DWORD BytesRead;
  DWORD CaptureLength;
  BYTE CaptureBuffer[1024];
  char CodePrefix[16];  // "LW" after every receive call
  BYTE PressFlag;
  int LastByte;  // sign-extended from 8 bits
  int DelayValue;
};
