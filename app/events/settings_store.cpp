#include "app/events/settings_store.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/events/store_values.h"

namespace vantor {

const char kPortKeyPath[] = "Infrared\\Software\\Vantora\\Port";
const char kEventListKeyPath[] = "Infrared\\Software\\Vantora\\EventList";

namespace {

// Opens or creates a key; `created` tells whether it was new.
HKEY OpenKey(const char* path, bool* created) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_CONFIG, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, &disposition) != ERROR_SUCCESS)
    return nullptr;
  if (created) *created = disposition == REG_CREATED_NEW_KEY;
  return key;
}

// Reads a value into the zero-filled 300-byte buffer and upper-cases it. A value
// that is absent, not a string, or does not fit with its terminating zero counts
// as absent.
bool ReadValue(HKEY key, const char* name, char (&buffer)[kValueBufferSize]) {
  std::memset(buffer, 0, sizeof buffer);
  DWORD type = 0;
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      !IsUsableText(type == REG_SZ, buffer, sizeof buffer, size)) {
    std::memset(buffer, 0, sizeof buffer);
    return false;
  }
  UpperCaseAscii(buffer);
  return true;
}

void WriteValue(HKEY key, const char* name, const char* text) {
  // The terminating zero is counted in the length.
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(std::strlen(text) + 1));
}

// The indexes i < count for which an "EventList%d" value exists, in ascending order.
// Listing the key's values instead of asking for every i keeps a damaged, huge
// "EventListCount" from turning the load into billions of queries; the entries
// found are the same.
std::vector<std::int32_t> StoredEntryIndexes(HKEY key, std::int32_t count) {
  std::vector<std::int32_t> indexes;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) continue;  // a name too long for the buffer is no entry name
    std::int32_t index = 0;
    if (ParseEventListName(name, &index) && index < count) indexes.push_back(index);
  }
  std::sort(indexes.begin(), indexes.end());
  return indexes;
}

}  // namespace

void LoadSettings(TPortSettings& port, PortOptionsRecord& options, const TComboBox& eventsList) {
  char buffer[kValueBufferSize];
  bool created = false;
  if (HKEY key = OpenKey(kPortKeyPath, &created)) {
    if (!created) {
      if (ReadValue(key, "Transmitter", buffer)) ParseTransmitter(buffer, options);
      if (ReadValue(key, "IrDAPortNum", buffer)) {
        std::int32_t number = 0;
        // Not a number: the port is 0, and so is its name "COM0".
        port.ComPortNumber = ParsePortNumber(buffer, &number) ? number : 0;
        FormatComPortName(port.ComPortName, sizeof port.ComPortName, port.ComPortNumber);
        SelectComFlag(port.ComPortName, options);
      }
      if (ReadValue(key, "RCFormat", buffer)) CopyFormatCode(port.RcFormatCode, sizeof port.RcFormatCode, buffer);
    }
    RegCloseKey(key);
  }

  HKEY key = OpenKey(kEventListKeyPath, &created);
  if (!key) return;
  if (!created) {
    std::int32_t count = 0;
    if (ReadValue(key, "EventListCount", buffer) && !ParsePortNumber(buffer, &count)) count = 0;
    char name[32];
    for (std::int32_t index : StoredEntryIndexes(key, count)) {
      FormatEventListName(name, sizeof name, index);
      if (ReadValue(key, name, buffer)) eventsList.AddString(buffer);
    }
  }
  RegCloseKey(key);
}

void SavePortSettings(TPortSettings& port, const PortOptionsRecord& options) {
  if (port.ComPortNumber == 0) return;
  HKEY key = OpenKey(kPortKeyPath, nullptr);
  if (!key) return;
  char buffer[kValueBufferSize];
  FormatDecimal(buffer, sizeof buffer, port.ComPortNumber);
  WriteValue(key, "IrDAPortNum", buffer);
  FormatComPortName(port.ComPortName, sizeof port.ComPortName, port.ComPortNumber);
  WriteValue(key, "RCFormat", port.RcFormatCode);
  FormatTransmitter(buffer, sizeof buffer, options);
  WriteValue(key, "Transmitter", buffer);
  RegCloseKey(key);
}

void SaveEventList(const TComboBox& eventsList) {
  int count = eventsList.GetCount();
  if (count < 0) return;
  HKEY key = OpenKey(kEventListKeyPath, nullptr);
  if (!key) return;
  char buffer[kValueBufferSize];
  FormatDecimal(buffer, sizeof buffer, count);
  WriteValue(key, "EventListCount", buffer);
  char name[32];
  for (int i = 0; i < count; ++i) {
    FormatEventListName(name, sizeof name, i);
    // The whole entry, whatever its length: a later load decides what it can read.
    WriteValue(key, name, eventsList.GetString(i).c_str());
  }
  RegCloseKey(key);
}

}  // namespace vantor
