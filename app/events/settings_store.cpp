#include "app/events/settings_store.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/events/store_values.h"
#include "app/framework/error_box.h"

namespace vantor {

const char kPortKeyPath[] = "Infrared\\Software\\Vantora\\Port";
const char kEventListKeyPath[] = "Infrared\\Software\\Vantora\\EventList";
const char kUserPortKeyPath[] = "Software\\Infrared\\Vantora\\Port";
const char kUserEventListKeyPath[] = "Software\\Infrared\\Vantora\\EventList";

StoreRegistryCalls& StoreRegistrySeam() {
  static StoreRegistryCalls calls{&::RegCreateKeyExA, &::RegOpenKeyExA};
  return calls;
}

namespace {

// One stored key: where the system keeps it, and the user's copy.
struct StoreKey {
  const char* ConfigPath;
  const char* UserPath;
};
constexpr StoreKey kPortKey{kPortKeyPath, kUserPortKeyPath};
constexpr StoreKey kEventListKey{kEventListKeyPath, kUserEventListKeyPath};

// Opens or creates a key for reading and writing; `created` tells whether it was new.
HKEY CreateKey(HKEY root, const char* path, bool* created) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (StoreRegistrySeam().CreateKey(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                    &disposition) != ERROR_SUCCESS)
    return nullptr;
  if (created) *created = disposition == REG_CREATED_NEW_KEY;
  return key;
}

// Opens a key that exists, creating nothing. `refused`, when given, is set when
// the key is there but this user may not open it.
HKEY OpenExisting(HKEY root, const char* path, REGSAM access, bool* refused = nullptr) {
  HKEY key = nullptr;
  const LONG result = StoreRegistrySeam().OpenKey(root, path, 0, access, &key);
  if (refused && result == ERROR_ACCESS_DENIED) *refused = true;
  return result == ERROR_SUCCESS ? key : nullptr;
}

// Says once per run that the stored settings are there but cannot be read.
void TellSettingsCannotBeRead() {
  static bool told = false;
  if (told) return;
  told = true;
  ShowProgramError("Vantor cannot read its settings!\n\n"
                   "HKEY_CURRENT_CONFIG\\Infrared\\Software\\Vantora or "
                   "HKEY_CURRENT_USER\\Software\\Infrared\\Vantora cannot be opened, so Vantor starts "
                   "without the learned events and the port settings kept there.\n\n"
                   "Ask the administrator of this computer for the right to read them.");
}

// The key a load reads. The user's copy exists only once a save has had to use
// it, and every later save keeps it current, so it holds this user's latest
// values: it comes first. Otherwise the system's key, created when missing as
// ever; one this user may read but not write is still read, or the settings kept
// there would look lost.
HKEY OpenForLoading(const StoreKey& stored, bool* created) {
  *created = false;
  bool refused = false;
  if (HKEY key = OpenExisting(HKEY_CURRENT_USER, stored.UserPath, KEY_READ, &refused)) return key;
  if (HKEY key = CreateKey(HKEY_CURRENT_CONFIG, stored.ConfigPath, created)) return key;
  if (HKEY key = OpenExisting(HKEY_CURRENT_CONFIG, stored.ConfigPath, KEY_READ, &refused)) return key;
  // A key that is merely missing and cannot be made is a standard user's first run: nothing to tell.
  if (refused) TellSettingsCannotBeRead();
  return nullptr;
}

// Says once per run that nothing the user changes outlives the program.
void TellSettingsCannotBeSaved() {
  static bool told = false;
  if (told) return;
  told = true;
  ShowProgramError("Vantor cannot save its settings!\n\n"
                   "Neither HKEY_CURRENT_CONFIG\\Infrared\\Software\\Vantora nor "
                   "HKEY_CURRENT_USER\\Software\\Infrared\\Vantora can be written, so the learned "
                   "events and the port settings will be lost when Vantor ends.\n\n"
                   "Ask the administrator of this computer for the right to write one of them.");
}

// The keys a save writes: the system's key when it can be written; the user's
// copy when the system's cannot, and also beside it once the copy exists, so that
// the copy, which loads first, never falls behind.
std::vector<HKEY> OpenForSaving(const StoreKey& stored) {
  std::vector<HKEY> keys;
  HKEY config = CreateKey(HKEY_CURRENT_CONFIG, stored.ConfigPath, nullptr);
  if (config) keys.push_back(config);
  HKEY user = config ? OpenExisting(HKEY_CURRENT_USER, stored.UserPath, KEY_ALL_ACCESS)
                     : CreateKey(HKEY_CURRENT_USER, stored.UserPath, nullptr);
  if (user) keys.push_back(user);
  if (keys.empty()) TellSettingsCannotBeSaved();
  return keys;
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

// The indexes i < limit for which an "EventList%d" value exists, in ascending order.
// Listing the key's values instead of asking for every i keeps a damaged, huge
// count from turning the load into billions of queries; the entries found are the
// same.
std::vector<std::int32_t> StoredEntryIndexes(HKEY key, std::int64_t limit) {
  std::vector<std::int32_t> indexes;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;  // a name too long for the buffer is no entry name
    // The end of the list, or an error that would repeat at every further index.
    if (result != ERROR_SUCCESS) break;
    std::int32_t index = 0;
    if (ParseEventListName(name, &index) && index < limit) indexes.push_back(index);
  }
  std::sort(indexes.begin(), indexes.end());
  return indexes;
}

bool ValueExists(HKEY key, const char* name) {
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// How many entry indexes to read. A missing count means no entries. A count that
// is there but is no number of entries (not a string, not a number, negative, too
// big) must not hide the entries it was written with: then every stored entry is
// read, and the next save writes a sound count.
std::int64_t EntryIndexLimit(HKEY key) {
  char buffer[kValueBufferSize];
  std::int32_t count = 0;
  if (ReadValue(key, "EventListCount", buffer) && ParsePortNumber(buffer, &count) && count >= 0) return count;
  return ValueExists(key, "EventListCount") ? INT64_MAX : 0;
}

// An entry value the load could not read (too long, not a string, no terminating
// zero) never reached the list, so writing the list over it would lose it without
// a trace. It moves to a name the load does not take for an entry.
void SetAsideUnreadable(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return;
  char buffer[kValueBufferSize];
  if (ReadValue(key, name, buffer)) return;
  std::vector<BYTE> data(size + 1);
  if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return;
  char kept[64];
  for (int n = 1; n <= 100; ++n) {
    if (n == 1)
      std::snprintf(kept, sizeof kept, "%s not loaded", name);
    else
      std::snprintf(kept, sizeof kept, "%s not loaded %d", name, n);
    if (ValueExists(key, kept)) continue;
    RegSetValueExA(key, kept, 0, type, data.data(), size);
    return;
  }
}

}  // namespace

void LoadSettings(TPortSettings& port, PortOptionsRecord& options, TEventListModel& events) {
  char buffer[kValueBufferSize];
  bool created = false;
  if (HKEY key = OpenForLoading(kPortKey, &created)) {
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

  HKEY key = OpenForLoading(kEventListKey, &created);
  if (!key) return;
  if (!created) {
    char name[32];
    for (std::int32_t index : StoredEntryIndexes(key, EntryIndexLimit(key))) {
      FormatEventListName(name, sizeof name, index);
      if (ReadValue(key, name, buffer)) events.AddStored(buffer);
    }
  }
  RegCloseKey(key);
}

void SavePortSettings(TPortSettings& port, const PortOptionsRecord& options) {
  if (port.ComPortNumber == 0) return;
  std::vector<HKEY> keys = OpenForSaving(kPortKey);
  if (keys.empty()) return;
  FormatComPortName(port.ComPortName, sizeof port.ComPortName, port.ComPortNumber);
  char number[kValueBufferSize];
  FormatDecimal(number, sizeof number, port.ComPortNumber);
  char transmitter[kValueBufferSize];
  FormatTransmitter(transmitter, sizeof transmitter, options);
  for (HKEY key : keys) {
    WriteValue(key, "IrDAPortNum", number);
    WriteValue(key, "RCFormat", port.RcFormatCode);
    WriteValue(key, "Transmitter", transmitter);
    RegCloseKey(key);
  }
}

void SaveEventList(const TEventListModel& events) {
  const int count = events.Count();
  std::vector<HKEY> keys = OpenForSaving(kEventListKey);
  char buffer[kValueBufferSize];
  FormatDecimal(buffer, sizeof buffer, count);
  char name[32];
  for (HKEY key : keys) {
    WriteValue(key, "EventListCount", buffer);
    for (int i = 0; i < count; ++i) {
      FormatEventListName(name, sizeof name, i);
      SetAsideUnreadable(key, name);
      // The whole entry, whatever its length: a later load decides what it can read.
      WriteValue(key, name, events.Text(i).c_str());
    }
    RegCloseKey(key);
  }
}

}  // namespace vantor
