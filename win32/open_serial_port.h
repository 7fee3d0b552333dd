// Opening and configuring a serial port, for every caller: the receiver libraries,
// the options' port check and the IrDA driver's port test. The caller describes the
// port it wants; the opening returns the step that failed, and the caller presents
// that failure in its own words and lets go of the port.
#pragma once

#include <windows.h>

namespace vantor {

enum class SerialStep { None, Open, Purge, GetState, SetState, GetTimeouts, SetTimeouts, SetupQueues };

struct SerialSetup {
  DWORD access;       // what CreateFileA asks for; never shared, synchronous
  DWORD purge;        // PURGE_* flags cleared right after opening
  DWORD baud;         // set with 8 data bits, no parity, one stop bit, binary mode
  bool abortOnError;  // fAbortOnError: an error stops reads and writes until cleared
  COMMTIMEOUTS timeouts;
  DWORD inputQueue, outputQueue;  // SetupComm's recommended queue sizes
  // Once the speed was set, a later failure first sets this speed back, so the
  // next user of the port finds it as before; 0 leaves the speed alone.
  DWORD restoreBaud;
};

// What the opening leaves with the caller, the caller's own fields.
struct SerialPortFields {
  HANDLE& handle;          // open unless the Open step failed
  DCB& state;              // as last read or set
  COMMTIMEOUTS& timeouts;  // as read, then as set
  BOOL& lastResult;        // the last state or time-out call's answer, the speed reset's included
};

// Opens `name` and configures it through SerialSeam(). A failure after the Open step
// leaves the handle open (after the speed reset, if any) for the caller to close with
// CloseSerialPort when its message fits.
SerialStep OpenSerialPort(const char* name, const SerialSetup& setup, SerialPortFields port);

// Closes an open handle and marks it closed.
void CloseSerialPort(HANDLE& handle);

// The user's text for a failed step, the same for every caller.
const char* SerialStepText(SerialStep step);

// Reads return at once with whatever is queued.
constexpr COMMTIMEOUTS kImmediateReads{MAXDWORD, 0, 0, 0, 0};

}  // namespace vantor
