// The serial calls TPellow makes, as a table that defaults to the real API.
// Internal to the library and its tests: a test replaces one entry to provoke a
// failure a terminal cannot produce, and restores the table afterwards.
#pragma once

#include <windows.h>

#include "pellow/pellow.h"

struct PellowSerialApi {
  HANDLE(WINAPI* createFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  BOOL(WINAPI* purgeComm)(HANDLE, DWORD);
  BOOL(WINAPI* getCommState)(HANDLE, LPDCB);
  BOOL(WINAPI* setCommState)(HANDLE, LPDCB);
  BOOL(WINAPI* getCommTimeouts)(HANDLE, LPCOMMTIMEOUTS);
  BOOL(WINAPI* setCommTimeouts)(HANDLE, LPCOMMTIMEOUTS);
  BOOL(WINAPI* setupComm)(HANDLE, DWORD, DWORD);
  BOOL(WINAPI* readFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
  BOOL(WINAPI* closeHandle)(HANDLE);
  BOOL(WINAPI* clearCommError)(HANDLE, LPDWORD, LPCOMSTAT);
};

// The table every TPellow uses; not thread-safe, tests only. Not exported from
// pellow.dll: tests link the library statically (pellow_seamed).
extern "C" PellowSerialApi* pellow_serial_api();
