// The serial calls the program and the receiver libraries make, one pointer each,
// set to the system's own. Tests swap one entry to make a call fail that no
// terminal can make fail (a purge, a state or time-out call, SetupComm).
#pragma once

#include <windows.h>

namespace vantor {

struct SerialCalls {
  decltype(&::CreateFileA) CreateFileA;
  decltype(&::PurgeComm) PurgeComm;
  decltype(&::GetCommState) GetCommState;
  decltype(&::SetCommState) SetCommState;
  decltype(&::GetCommTimeouts) GetCommTimeouts;
  decltype(&::SetCommTimeouts) SetCommTimeouts;
  decltype(&::SetupComm) SetupComm;
  decltype(&::ReadFile) ReadFile;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::ClearCommError) ClearCommError;
  decltype(&::Sleep) Sleep;
};

// The system's own calls, to restore the table or to forward to.
SerialCalls SystemSerialCalls();

// The table this module uses; one per module, unguarded: change it only while no
// port is in a call. Never exported from a DLL, where any code in the process
// could otherwise swap the library's port calls.
SerialCalls& SerialSeam();

}  // namespace vantor
