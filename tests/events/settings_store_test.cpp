// The store against Wine's real registry.
#include "app/events/settings_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "bench/message_boxes.h"

#include <cstring>
#include <string>
#include <vector>

namespace vantor {
namespace {

// The learned list as the store fills and reads it.
struct StoredEvents {
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.Text(i));
    return items;
  }
  TEventListModel list;
};

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override {
    StoreRegistrySeam() = StoreRegistryCalls{&::RegCreateKeyExA, &::RegOpenKeyExA};
    Clear();
  }
  static void Clear() {
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, "Infrared\\Software\\Vantora");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Infrared\\Vantora");
  }

  static HKEY Key(const char* path, HKEY root = HKEY_CURRENT_CONFIG) {
    HKEY key = nullptr;
    RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
  }
  static void Put(const char* path, const char* name, const std::string& text, HKEY root = HKEY_CURRENT_CONFIG) {
    HKEY key = Key(path, root);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
  }
  static void PutRaw(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = Key(path);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  static bool Get(const char* path, const char* name, std::string* text, HKEY root = HKEY_CURRENT_CONFIG) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool found = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (found && text) *text = buffer;
    return found;
  }
  static bool KeyExists(const char* path, HKEY root = HKEY_CURRENT_CONFIG) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  void Load() { LoadSettings(port, options, events.list); }

  TPortSettings port;
  PortOptionsRecord options;
  StoredEvents events;
};

TEST_F(SettingsStore, FirstRunCreatesBothKeysAndKeepsTheDefaults) {
  Load();
  EXPECT_TRUE(KeyExists(kPortKeyPath));
  EXPECT_TRUE(KeyExists(kEventListKeyPath));
  EXPECT_EQ(events.list.Count(), 0);
  EXPECT_EQ(port.ComPortNumber, 0);
  EXPECT_STREQ(port.ComPortName, "NON");
  EXPECT_STREQ(port.RcFormatCode, "NE");
  EXPECT_EQ(options.UsePellow + options.UseKestrel + options.UseCom1 + options.UseCom2 + options.UseCom3 + options.UseCom4, 0);
}

TEST_F(SettingsStore, AValueInANewlyCreatedKeyIsNotRead) {
  // Only the EventList key exists: the Port key is created by the load and nothing is read from it.
  Put(kEventListKeyPath, "EventListCount", "1");
  Put(kEventListKeyPath, "EventList0", "LW 00 41;LEFTDOWN;LEFTUP;");
  Load();
  EXPECT_EQ(events.Items(), std::vector<std::string>{"LW 00 41;LEFTDOWN;LEFTUP;"});
  EXPECT_STREQ(port.ComPortName, "NON");
}

TEST_F(SettingsStore, LoadsPortSettingsAndUpperCasedEntriesInSortedOrder) {
  Put(kPortKeyPath, "Transmitter", "1;1;end");
  Put(kPortKeyPath, "IrDAPortNum", "3");
  Put(kPortKeyPath, "RCFormat", "so");
  Put(kEventListKeyPath, "EventListCount", "3");
  Put(kEventListKeyPath, "EventList0", "lw 00 0a;MOVE 0 -5;");
  Put(kEventListKeyPath, "EventList2", "LW 00 01;LEFTDOWN;LEFTUP;");  // index 1 is missing
  Load();
  EXPECT_EQ(events.Items(), (std::vector<std::string>{"LW 00 01;LEFTDOWN;LEFTUP;", "LW 00 0A;MOVE 0 -5;"}));
  EXPECT_EQ(options.UsePellow, 1);
  EXPECT_EQ(options.UseKestrel, 1);
  EXPECT_EQ(port.ComPortNumber, 3);
  EXPECT_STREQ(port.ComPortName, "COM3");
  EXPECT_EQ(options.UseCom3, 1);
  EXPECT_EQ(options.UseCom1 + options.UseCom2 + options.UseCom4, 0);
  EXPECT_STREQ(port.RcFormatCode, "SO");
}

TEST_F(SettingsStore, AnEventListKeyWithoutACountLoadsNothing) {
  Put(kEventListKeyPath, "EventList0", "LW 00 41;LEFTDOWN;LEFTUP;");
  Load();
  EXPECT_EQ(events.list.Count(), 0);
}

TEST_F(SettingsStore, ASaveAfterALongerOneLeavesStaleValuesThatLoadingIgnores) {
  for (const char* e : {"LW 00 01;A;", "LW 00 02;B;", "LW 00 03;C;", "LW 00 04;D;", "LW 00 05;E;"})
    events.list.Add(e);
  SaveEventList(events.list);
  events.list.Delete(4);
  events.list.Delete(3);
  events.list.Delete(2);
  SaveEventList(events.list);

  std::string value;
  ASSERT_TRUE(Get(kEventListKeyPath, "EventListCount", &value));
  EXPECT_EQ(value, "2");
  for (const char* stale : {"EventList2", "EventList3", "EventList4"}) EXPECT_TRUE(Get(kEventListKeyPath, stale, nullptr));

  StoredEvents reloaded;
  LoadSettings(port, options, reloaded.list);
  EXPECT_EQ(reloaded.Items(), (std::vector<std::string>{"LW 00 01;A;", "LW 00 02;B;"}));
}

TEST_F(SettingsStore, AnEmptyListSavesACountOfZero) {
  SaveEventList(events.list);
  std::string value;
  ASSERT_TRUE(Get(kEventListKeyPath, "EventListCount", &value));
  EXPECT_EQ(value, "0");
}

TEST_F(SettingsStore, PortSettingsAreWrittenOnlyWithAPortNumber) {
  options.UseKestrel = 1;
  SavePortSettings(port, options);  // ComPortNumber 0: nothing at all
  EXPECT_FALSE(KeyExists(kPortKeyPath));

  port.ComPortNumber = 2;
  std::strcpy(port.ComPortName, "NON");
  std::strcpy(port.RcFormatCode, "SO");
  SavePortSettings(port, options);
  std::string value;
  ASSERT_TRUE(Get(kPortKeyPath, "IrDAPortNum", &value));
  EXPECT_EQ(value, "2");
  ASSERT_TRUE(Get(kPortKeyPath, "RCFormat", &value));
  EXPECT_EQ(value, "SO");
  ASSERT_TRUE(Get(kPortKeyPath, "Transmitter", &value));
  EXPECT_EQ(value, "0;1;end");
  EXPECT_STREQ(port.ComPortName, "COM2");

  TPortSettings again;
  PortOptionsRecord againOptions;
  StoredEvents list;
  LoadSettings(again, againOptions, list.list);
  EXPECT_EQ(again.ComPortNumber, 2);
  EXPECT_EQ(againOptions.UseCom2, 1);
  EXPECT_EQ(againOptions.UseKestrel, 1);
  EXPECT_STREQ(again.RcFormatCode, "SO");
}

TEST_F(SettingsStore, PortValuesOfTheWrongKindKeepTheirDefaults) {
  DWORD one = 1;
  PutRaw(kPortKeyPath, "Transmitter", REG_DWORD, &one, sizeof one);
  PutRaw(kPortKeyPath, "IrDAPortNum", REG_BINARY, "\x03\x00", 2);
  std::string tooLong(300, 'A');  // 300 characters need 301 bytes
  Put(kPortKeyPath, "RCFormat", tooLong);
  Load();
  EXPECT_EQ(options.UsePellow + options.UseKestrel, 0);
  EXPECT_EQ(port.ComPortNumber, 0);
  EXPECT_STREQ(port.ComPortName, "NON");
  EXPECT_STREQ(port.RcFormatCode, "NE");
}

TEST_F(SettingsStore, PortValuesThatAreNotNumbersOrTooLong) {
  Put(kPortKeyPath, "Transmitter", "yes;no;end");
  Put(kPortKeyPath, "IrDAPortNum", "abc");
  Put(kPortKeyPath, "RCFormat", "abcdefghijklmnopqrstuvwxyz");
  Load();
  EXPECT_EQ(options.UsePellow + options.UseKestrel, 0);
  EXPECT_EQ(port.ComPortNumber, 0);
  EXPECT_STREQ(port.ComPortName, "COM0");  // formed from 0, as when the number is unreadable
  EXPECT_EQ(options.UseCom1 + options.UseCom2 + options.UseCom3 + options.UseCom4, 0);
  EXPECT_STREQ(port.RcFormatCode, "ABCDEFGHIJKLMNO");
}

TEST_F(SettingsStore, ADamagedCountLoadsEveryStoredEntry) {
  Put(kEventListKeyPath, "EventList0", "LW 00 41;LEFTDOWN;LEFTUP;");
  Put(kEventListKeyPath, "EventList5", "LW 00 46;RIGHTDOWN;RIGHTUP;");
  Put(kEventListKeyPath, "EventListX", "LW 00 47;LEFTDOWN;LEFTUP;");  // not an entry name
  const std::vector<std::string> both{"LW 00 41;LEFTDOWN;LEFTUP;", "LW 00 46;RIGHTDOWN;RIGHTUP;"};
  const DWORD three = 3;
  struct Case {
    const char* what;
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {
      {"-4", REG_SZ, "-4", 3},
      {"abc", REG_SZ, "abc", 4},
      {"99999999999", REG_SZ, "99999999999", 12},
      {"binary", REG_BINARY, "\x02\x00", 2},
      {"dword", REG_DWORD, &three, sizeof three},
      {"huge", REG_SZ, "2147483647", 11},  // a sound count: every entry below it, at once
  };
  for (const Case& c : cases) {
    PutRaw(kEventListKeyPath, "EventListCount", c.type, c.data, c.size);
    StoredEvents list;
    LoadSettings(port, options, list.list);
    EXPECT_EQ(list.Items(), both) << c.what;
  }
}

TEST_F(SettingsStore, BadEntriesAreSkippedAndTheRestStillLoad) {
  std::string longest = "LW 00 41;" + std::string(290, 'X');  // 299 characters: fits with its zero
  std::string unterminated(300, 'B');
  Put(kEventListKeyPath, "EventListCount", "6");
  Put(kEventListKeyPath, "EventList0", longest);
  Put(kEventListKeyPath, "EventList1", "LW 00 42;" + std::string(291, 'Y'));  // 300 characters: too long
  PutRaw(kEventListKeyPath, "EventList2", REG_BINARY, "LW 00 43;LEFTDOWN;", 18);
  PutRaw(kEventListKeyPath, "EventList3", REG_SZ, unterminated.data(), 300);  // no zero at all
  PutRaw(kEventListKeyPath, "EventList4", REG_SZ, "lw 00 44;LEFTUP;", 16);     // no zero, but room for one
  Put(kEventListKeyPath, "EventList5", "LW 00 45;RIGHTUP;");
  Load();
  EXPECT_EQ(events.Items(), (std::vector<std::string>{longest, "LW 00 44;LEFTUP;", "LW 00 45;RIGHTUP;"}));

  // Saving six entries over them keeps what the load could not read, under names the
  // next load skips.
  Put(kEventListKeyPath, "EventList1 not loaded", "kept earlier");
  for (const char* e : {"LW 00 51;A;", "LW 00 52;B;", "LW 00 53;C;"}) events.list.Add(e);
  SaveEventList(events.list);
  std::string value;
  ASSERT_TRUE(Get(kEventListKeyPath, "EventList1 not loaded", &value));
  EXPECT_EQ(value, "kept earlier");
  ASSERT_TRUE(Get(kEventListKeyPath, "EventList1 not loaded 2", &value));
  EXPECT_EQ(value, "LW 00 42;" + std::string(291, 'Y'));
  HKEY key = Key(kEventListKeyPath);
  BYTE raw[400] = {};
  DWORD type = 0;
  DWORD size = sizeof raw;
  ASSERT_EQ(RegQueryValueExA(key, "EventList2 not loaded", nullptr, &type, raw, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(raw), size), "LW 00 43;LEFTDOWN;");
  RegCloseKey(key);
  ASSERT_TRUE(Get(kEventListKeyPath, "EventList3 not loaded", &value));
  EXPECT_EQ(value, unterminated);
  EXPECT_FALSE(Get(kEventListKeyPath, "EventList0 not loaded", nullptr));  // read, so written over
  EXPECT_FALSE(Get(kEventListKeyPath, "EventList4 not loaded", nullptr));

  StoredEvents reloaded;
  LoadSettings(port, options, reloaded.list);
  EXPECT_EQ(reloaded.Items(), events.Items());
}

TEST_F(SettingsStore, ALongEntrySurvivesASaveAndALoadWhole) {
  std::string longest = "LW 00 41;" + std::string(290, 'M');
  events.list.Add(longest.c_str());
  SaveEventList(events.list);
  std::string value;
  ASSERT_TRUE(Get(kEventListKeyPath, "EventList0", &value));
  EXPECT_EQ(value, longest);
  StoredEvents reloaded;
  LoadSettings(port, options, reloaded.list);
  EXPECT_EQ(reloaded.Items(), std::vector<std::string>{longest});
}

// What a standard user's Windows lets the store do with a root: everything,
// read only (opens for reading succeed, creating or writing is refused), or nothing.
enum class Rights { All, ReadOnly, None };
Rights ConfigRights = Rights::All;
Rights UserRights = Rights::All;

Rights RightsOf(HKEY root) { return root == HKEY_CURRENT_CONFIG ? ConfigRights : UserRights; }

LONG WINAPI RefusingCreate(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                           LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
  if (RightsOf(root) != Rights::All) return ERROR_ACCESS_DENIED;
  return RegCreateKeyExA(root, path, reserved, cls, options, access, security, key, disposition);
}

LONG WINAPI RefusingOpen(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
  Rights rights = RightsOf(root);
  if (rights == Rights::None || (rights == Rights::ReadOnly && access != KEY_READ)) return ERROR_ACCESS_DENIED;
  return RegOpenKeyExA(root, path, options, access, key);
}

class RefusedConfig : public SettingsStore {
 protected:
  void Refuse(Rights config, Rights user) {
    ConfigRights = config;
    UserRights = user;
    StoreRegistrySeam() = StoreRegistryCalls{&RefusingCreate, &RefusingOpen};
  }
  // Saves three entries and COM2 with the IR55 receiver.
  void SaveSome() {
    StoredEvents list;
    for (const char* e : {"LW 00 01;A;", "LW 00 02;B;", "LW 00 03;C;"}) list.list.Add(e);
    SaveEventList(list.list);
    port.ComPortNumber = 2;
    options.UsePellow = 1;
    SavePortSettings(port, options);
  }
  std::vector<std::string> Reload(TPortSettings* again, PortOptionsRecord* againOptions) {
    StoredEvents list;
    LoadSettings(*again, *againOptions, list.list);
    return list.Items();
  }
  const std::vector<std::string> Some{"LW 00 01;A;", "LW 00 02;B;", "LW 00 03;C;"};
};

TEST_F(RefusedConfig, AStandardUserSavesAndReloadsThroughTheUserKey) {
  // Settings an earlier, elevated run left: readable, no longer writable.
  Put(kPortKeyPath, "IrDAPortNum", "4");
  Put(kEventListKeyPath, "EventListCount", "1");
  Put(kEventListKeyPath, "EventList0", "LW 00 09;Z;");
  struct Case {
    const char* what;
    Rights config;
    bool configKept;  // the readable settings load before the first save
  } cases[] = {{"HKCC refused", Rights::None, false}, {"HKCC read only", Rights::ReadOnly, true}};
  for (const Case& c : cases) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Infrared\\Vantora");
    Refuse(c.config, Rights::All);
    bench::MessageBoxCapture boxes;
    TPortSettings before;
    PortOptionsRecord beforeOptions;
    EXPECT_EQ(Reload(&before, &beforeOptions).size(), c.configKept ? 1u : 0u) << c.what;
    EXPECT_EQ(before.ComPortNumber, c.configKept ? 4 : 0) << c.what;

    SaveSome();
    std::string value;
    ASSERT_TRUE(Get(kUserEventListKeyPath, "EventList2", &value, HKEY_CURRENT_USER)) << c.what;
    EXPECT_EQ(value, "LW 00 03;C;");
    ASSERT_TRUE(Get(kUserPortKeyPath, "Transmitter", &value, HKEY_CURRENT_USER)) << c.what;
    EXPECT_EQ(value, "1;0;end");
    TPortSettings again;
    PortOptionsRecord againOptions;
    EXPECT_EQ(Reload(&again, &againOptions), Some) << c.what;
    EXPECT_EQ(again.ComPortNumber, 2) << c.what;
    EXPECT_EQ(againOptions.UsePellow, 1) << c.what;
    // Settings there but unreadable are told of, once; readable ones need no word.
    const std::vector<bench::CapturedBox> seen = boxes.Boxes();
    ASSERT_EQ(seen.size(), c.configKept ? 0u : 1u) << c.what;
    if (!seen.empty()) {
      EXPECT_NE(seen[0].text.find("cannot read its settings"), std::string::npos);
    }
    // The system's key is as it was.
    ASSERT_TRUE(Get(kPortKeyPath, "IrDAPortNum", &value));
    EXPECT_EQ(value, "4");
  }
}

TEST_F(RefusedConfig, TheUserKeyLoadsFirstAndStaysCurrentOnceTheSystemKeyIsWritable) {
  // Saved by a standard user; now the same user runs elevated.
  Refuse(Rights::ReadOnly, Rights::All);
  SaveSome();
  StoreRegistrySeam() = StoreRegistryCalls{&::RegCreateKeyExA, &::RegOpenKeyExA};
  Put(kEventListKeyPath, "EventListCount", "1");
  Put(kEventListKeyPath, "EventList0", "LW 00 09;OLD;");
  TPortSettings again;
  PortOptionsRecord againOptions;
  StoredEvents list;
  LoadSettings(again, againOptions, list.list);
  EXPECT_EQ(list.Items(), Some);
  EXPECT_EQ(again.ComPortNumber, 2);

  list.list.Add("LW 00 04;D;");
  SaveEventList(list.list);
  std::string config, user;
  ASSERT_TRUE(Get(kEventListKeyPath, "EventList3", &config));
  ASSERT_TRUE(Get(kUserEventListKeyPath, "EventList3", &user, HKEY_CURRENT_USER));
  EXPECT_EQ(config, "LW 00 04;D;");
  EXPECT_EQ(user, config);
  // Back as a standard user: the copy is the latest.
  Refuse(Rights::ReadOnly, Rights::All);
  EXPECT_EQ(Reload(&again, &againOptions).size(), 4u);
}

TEST_F(RefusedConfig, NothingWritableIsToldOnceInABox) {
  // A standard user's first run: nothing stored to read, nothing to tell until a save fails.
  Refuse(Rights::ReadOnly, Rights::ReadOnly);
  bench::MessageBoxCapture boxes;
  Load();
  SaveSome();
  SaveSome();
  std::vector<bench::CapturedBox> seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "Error");
  EXPECT_NE(seen[0].text.find("cannot save its settings"), std::string::npos);
  EXPECT_EQ(seen[0].style, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_FALSE(KeyExists(kUserPortKeyPath, HKEY_CURRENT_USER));
}

}  // namespace
}  // namespace vantor
