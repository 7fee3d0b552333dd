// The settings and the learned event list, kept under HKEY_CURRENT_CONFIG at
// "Infrared\Software\Vantora". Read once when the main window is set up; the event
// list is written at every Start, the port settings when the main window closes.
// A key or value that cannot be read keeps its default, one value that cannot be
// written is skipped, silently.
//
// Today's Windows lets only an elevated user write HKEY_CURRENT_CONFIG. Where it
// cannot be written, the same keys and values are kept under HKEY_CURRENT_USER at
// "Software\Infrared\Vantora" and read from there; only when neither root can be
// written does the user hear of it, once per run.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/events/port_options_record.h"
#include "app/events/event_list_model.h"

namespace vantor {

// The main window's members that the store reads and writes.
struct TPortSettings {
  std::int32_t ComPortNumber = 0;
  char ComPortName[20] = "NON";
  char RcFormatCode[16] = "NE";
};

extern const char kPortKeyPath[];       // "Infrared\\Software\\Vantora\\Port"
extern const char kEventListKeyPath[];  // "Infrared\\Software\\Vantora\\EventList"
// The user's copies of the two keys under HKEY_CURRENT_USER.
extern const char kUserPortKeyPath[];       // "Software\\Infrared\\Vantora\\Port"
extern const char kUserEventListKeyPath[];  // "Software\\Infrared\\Vantora\\EventList"

// The two registry opens the store makes, set to the system's own. Tests swap
// them to refuse a root as a standard user's Windows does.
struct StoreRegistryCalls {
  decltype(&::RegCreateKeyExA) CreateKey;
  decltype(&::RegOpenKeyExA) OpenKey;
};
StoreRegistryCalls& StoreRegistrySeam();

// Reads both keys: the port settings into `port` and `options`, every stored entry
// (upper-cased) into `events`. Defaults must be in place before the call. A
// damaged "EventListCount" loads every "EventList%d" there is.
void LoadSettings(TPortSettings& port, PortOptionsRecord& options, TEventListModel& events);
// Writes "IrDAPortNum", "RCFormat" and "Transmitter"; nothing while ComPortNumber is 0.
void SavePortSettings(TPortSettings& port, const PortOptionsRecord& options);
// Writes "EventListCount" and one "EventList%d" per item of `events`, in order. A value
// about to be written over that the load could not read is first kept as
// "EventList%d not loaded".
void SaveEventList(const TEventListModel& events);

}  // namespace vantor
