#include "win32/serial_calls.h"

namespace vantor {

SerialCalls SystemSerialCalls() {
  return SerialCalls{&::CreateFileA, &::PurgeComm, &::GetCommState, &::SetCommState, &::GetCommTimeouts,
                     &::SetCommTimeouts, &::SetupComm, &::ReadFile, &::CloseHandle, &::ClearCommError, &::Sleep};
}

SerialCalls& SerialSeam() {
  static SerialCalls calls = SystemSerialCalls();
  return calls;
}

}  // namespace vantor
