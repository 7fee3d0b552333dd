#include "win32/open_serial_port.h"

#include "win32/serial_calls.h"

namespace vantor {

SerialStep OpenSerialPort(const char* name, const SerialSetup& setup, SerialPortFields port) {
  const SerialCalls& calls = SerialSeam();
  port.handle = calls.CreateFileA(name, setup.access, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (port.handle == INVALID_HANDLE_VALUE) return SerialStep::Open;
  if (!calls.PurgeComm(port.handle, setup.purge)) return SerialStep::Purge;

  port.state.DCBlength = sizeof port.state;
  port.lastResult = calls.GetCommState(port.handle, &port.state);
  if (!port.lastResult) return SerialStep::GetState;
  // Only the framing is ours; the rest of the driver's settings stay as they are.
  port.state.BaudRate = setup.baud;
  port.state.ByteSize = 8;
  port.state.Parity = NOPARITY;
  port.state.StopBits = ONESTOPBIT;
  port.state.fBinary = 1;
  if (setup.abortOnError) port.state.fAbortOnError = 1;
  port.lastResult = calls.SetCommState(port.handle, &port.state);
  if (!port.lastResult) return SerialStep::SetState;

  SerialStep failed = SerialStep::None;
  port.lastResult = calls.GetCommTimeouts(port.handle, &port.timeouts);
  if (!port.lastResult) {
    failed = SerialStep::GetTimeouts;
  } else {
    port.timeouts = setup.timeouts;
    port.lastResult = calls.SetCommTimeouts(port.handle, &port.timeouts);
    if (!port.lastResult) {
      failed = SerialStep::SetTimeouts;
    } else if (!calls.SetupComm(port.handle, setup.inputQueue, setup.outputQueue)) {
      failed = SerialStep::SetupQueues;
    }
  }
  if (failed != SerialStep::None && setup.restoreBaud) {
    // The answer is recorded, not acted on: the port is given up either way.
    port.state.BaudRate = setup.restoreBaud;
    port.lastResult = calls.SetCommState(port.handle, &port.state);
  }
  return failed;
}

void CloseSerialPort(HANDLE& handle) {
  if (handle != INVALID_HANDLE_VALUE) SerialSeam().CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

const char* SerialStepText(SerialStep step) {
  switch (step) {
    case SerialStep::None: return "";
    case SerialStep::Open:
      return "Cannot open serial port !\n\nAnother communication software using this port?\n\n\n";
    case SerialStep::Purge: return "fault clear buffer";
    case SerialStep::GetState: return "fault get com state";
    case SerialStep::SetState: return "fault change baudrate";
    case SerialStep::GetTimeouts: return "fault get timeout parameter";
    case SerialStep::SetTimeouts: return "fault set timeout parameter";
    case SerialStep::SetupQueues: return "fault SetupComm";
  }
  return "";
}

}  // namespace vantor
