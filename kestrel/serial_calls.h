// The serial calls TKestrel makes, one pointer each, set to the system's own.
// Not part of the program's interface: tests swap one entry to make a call fail
// that no terminal can make fail (a purge, a state or time-out call, SetupComm).
#pragma once

#include <windows.h>

#include "kestrel/kestrel.h"

struct KestrelSerialCalls {
  decltype(&::CreateFileA) CreateFileA;
  decltype(&::PurgeComm) PurgeComm;
  decltype(&::GetCommState) GetCommState;
  decltype(&::SetCommState) SetCommState;
  decltype(&::GetCommTimeouts) GetCommTimeouts;
  decltype(&::SetCommTimeouts) SetCommTimeouts;
  decltype(&::SetupComm) SetupComm;
  decltype(&::ReadFile) ReadFile;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::Sleep) Sleep;
};

// The table every TKestrel uses; one per process, unguarded: change it only
// while no object is in a call. Not exported from kestrel.dll, where any code in
// the process could otherwise swap the library's port calls: tests reach it by
// linking the library statically (kestrel_seamed).
KestrelSerialCalls& KestrelSerial();
// The system's own calls, to restore the table or to forward to.
KestrelSerialCalls KestrelSystemSerial();
