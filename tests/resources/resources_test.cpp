// The program's resources as a user meets them: the main dialog's controls, the
// tray menu, the icon, the help cursor and the start sound, loaded from this
// executable exactly as the program loads them from its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/resources/resource_ids.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

std::string TextOf(HWND hwnd) {
  char text[256] = "";
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = "";
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  int x, y, width, height;  // dialog units
};

constexpr ExpectedControl kMainControls[] = {
    {IDC_MAIN_EVENTS_GROUP, "Button", "Events list", 4, 8, 260, 192},
    {IDC_MAIN_ADD, "Button", "&Add event", 8, 20, 76, 16},
    {IDC_MAIN_DELETE, "Button", "&Delete event", 88, 20, 76, 16},
    {IDC_MAIN_UPDATE, "Button", "&Update", 184, 20, 76, 16},
    {IDC_MAIN_EVENTS_LIST, "ComboBox", "", 12, 42, 249, 154},
    {IDC_MAIN_OPTION, "Button", "&Option", 4, 208, 50, 16},
    {IDC_MAIN_HELP, "Button", "&Help", 56, 208, 50, 16},
    {IDC_MAIN_START, "Button", "Start Vantor", 108, 208, 102, 16},
    {IDC_MAIN_EXIT, "Button", "E&xit", 212, 208, 50, 16},
};

// Everywhere else the ids go by name; here their numbers are held to the fixed ones
// the help contexts and the templates' users rely on, once.
static_assert(IDC_OK == 1 && IDC_CANCEL == 2 && IDC_HELP_BUTTON == 9);
static_assert(IDD_OPTION == 1 && IDD_WIZARD_STEP1 == 2 && IDD_WIZARD_STEP2 == 4 && IDD_WIZARD_STEP3_MOUSE == 5 &&
              IDD_WIZARD_STEP3_KEYS == 6 && IDD_MAIN == 2000);
static_assert(IDC_MAIN_START == 1 && IDC_MAIN_HELP == 9 && IDC_MAIN_EVENTS_LIST == 101 && IDC_MAIN_UPDATE == 102 &&
              IDC_MAIN_DELETE == 119 && IDC_MAIN_EVENTS_GROUP == 123 && IDC_MAIN_OPTION == 124 &&
              IDC_MAIN_EXIT == 126 && IDC_MAIN_ADD == 130);
static_assert(IDC_OPTION_COM1 == 101 && IDC_OPTION_COM2 == 102 && IDC_OPTION_COM3 == 103 && IDC_OPTION_COM4 == 104 &&
              IDC_OPTION_PELLOW == 107 && IDC_OPTION_KESTREL == 108);
static_assert(IDC_WIZARD_NEXT == 1 && IDC_WIZARD_BACK == 101 && IDC_STEP1_SIGNAL == 102 && IDC_STEP1_LEARN == 104 &&
              IDC_STEP1_STATUS == 105 && IDC_STEP1_ONE_IR == 114 && IDC_STEP1_TWO_IR == 115 &&
              IDC_STEP2_MOUSE == 102 && IDC_STEP2_KEYBOARD == 103);
static_assert(IDC_STEP3_MOUSE_UP == 103 && IDC_STEP3_MOUSE_DOWN == 104 && IDC_STEP3_MOUSE_ACTION == 105 &&
              IDC_STEP3_MOUSE_RIGHT == 106 && IDC_STEP3_MOUSE_CLICK == 107 && IDC_STEP3_MOUSE_DOUBLE_CLICK == 108 &&
              IDC_STEP3_MOUSE_RIGHT_CLICK == 109 && IDC_STEP3_MOUSE_DOWN_RIGHT == 110 &&
              IDC_STEP3_MOUSE_UP_RIGHT == 111 && IDC_STEP3_MOUSE_UP_LEFT == 112 && IDC_STEP3_MOUSE_DOWN_LEFT == 113 &&
              IDC_STEP3_MOUSE_LEFT == 114 && IDC_STEP3_MOUSE_CLEAR == 115);
static_assert(IDC_STEP3_KEYS_START == 103 && IDC_STEP3_KEYS_STOP == 104 && IDC_STEP3_KEYS_STATUS == 105 &&
              IDC_STEP3_KEYS_SCRIPT == 108 && IDC_STEP3_KEYS_CLEAR == 115);
static_assert(IDM_TRAY == 107 && IDM_TRAY_EXIT_SYSTEM == 19589 && IDM_TRAY_CANCEL == 19590 &&
              IDM_TRAY_SHOW == 19591 && IDM_TRAY_EXIT == 19592);

class ResourceMainDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    Dialog = CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_MAIN), nullptr, QuietProc, 0);
    ASSERT_NE(Dialog, nullptr);
  }
  void TearDown() override {
    if (Dialog) DestroyWindow(Dialog);
  }
  HWND Dialog = nullptr;
};

TEST_F(ResourceMainDialog, HoldsExactlyTheNineControlsAtTheirIdsPlacesAndTexts) {
  EXPECT_EQ(TextOf(Dialog), "Vantor");
  int children = 0;
  for (HWND child = GetWindow(Dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, 9);

  for (const ExpectedControl& c : kMainControls) {
    SCOPED_TRACE(c.id);
    HWND control = GetDlgItem(Dialog, c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(ClassOf(control).c_str(), c.className);
    EXPECT_EQ(TextOf(control), c.text);
    RECT expected = {c.x, c.y, c.x + c.width, c.y + c.height};
    MapDialogRect(Dialog, &expected);
    RECT actual;
    GetWindowRect(control, &actual);
    MapWindowPoints(nullptr, Dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    // A simple combo box may trim its height to whole list lines.
    if (c.id != IDC_MAIN_EVENTS_LIST) {
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
  }

  // Everything fits inside the dialog.
  RECT client;
  GetClientRect(Dialog, &client);
  RECT extent = {0, 0, 264, 224};
  MapDialogRect(Dialog, &extent);
  EXPECT_GE(client.right, extent.right);
  EXPECT_GE(client.bottom, extent.bottom);
}

TEST_F(ResourceMainDialog, ButtonKindsAndStartIsTheDefault) {
  auto kind = [&](int id) { return GetWindowLongA(GetDlgItem(Dialog, id), GWL_STYLE) & BS_TYPEMASK; };
  EXPECT_EQ(kind(IDC_MAIN_EVENTS_GROUP), BS_GROUPBOX);
  for (int id : {IDC_MAIN_ADD, IDC_MAIN_DELETE, IDC_MAIN_UPDATE, IDC_MAIN_OPTION, IDC_MAIN_HELP, IDC_MAIN_EXIT})
    EXPECT_EQ(kind(id), BS_PUSHBUTTON) << id;
  EXPECT_EQ(kind(IDC_MAIN_START), BS_DEFPUSHBUTTON);
  // Enter presses "Start Vantor".
  LRESULT def = SendMessageA(Dialog, DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(def), DC_HASDEFID);
  EXPECT_EQ(LOWORD(def), IDC_MAIN_START);
}

TEST_F(ResourceMainDialog, EventsListIsASimpleSortedComboWithScrollingEditAndList) {
  HWND combo = GetDlgItem(Dialog, IDC_MAIN_EVENTS_LIST);
  ASSERT_NE(combo, nullptr);
  LONG style = GetWindowLongA(combo, GWL_STYLE);
  EXPECT_EQ(style & 3, CBS_SIMPLE);
  EXPECT_TRUE(style & CBS_SORT);
  EXPECT_TRUE(style & CBS_AUTOHSCROLL);

  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  ASSERT_NE(info.hwndItem, nullptr);
  ASSERT_NE(info.hwndList, nullptr);
  EXPECT_TRUE(GetWindowLongA(info.hwndItem, GWL_STYLE) & ES_AUTOHSCROLL);
  // Always open: the list is a visible child of the box, not a drop-down.
  EXPECT_EQ(GetParent(info.hwndList), combo);
  EXPECT_TRUE(GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VISIBLE);

  // Entries come out in alphabetical order whatever order they went in.
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("SO 01 15;CLICK;"));
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("LW 00 41;MOVE 0 -5;"));
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("NE 00 41;MOVE 0 5;"));
  char item[256] = "";
  SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, "LW 00 41;MOVE 0 -5;");
  SendMessageA(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, "SO 01 15;CLICK;");

  // A list longer than the box gets its scroll bar. The box hands WS_VSCROLL on to its
  // list, which shows the bar only when needed.
  for (int i = 0; i < 60; ++i) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "LW %02x 41;CLICK;", i);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  EXPECT_TRUE(GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL);

  // An entry wider than the field can still be typed in full.
  const std::string wide(200, 'x');
  for (char ch : wide) SendMessageA(info.hwndItem, WM_CHAR, static_cast<WPARAM>(ch), 0);
  EXPECT_EQ(TextOf(info.hwndItem), wide);
}

TEST(ResourceTrayMenu, FirstPopupHoldsTheFiveItemsInOrder) {
  HMENU menu = LoadMenuA(Self(), MAKEINTRESOURCEA(IDM_TRAY));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 5);

  struct Item {
    UINT id;
    const char* text;  // null: a separator
  };
  // "&&" is how a menu shows "Show Dexel & Keyboard" with its "&", not as a mnemonic.
  const Item expected[] = {{IDM_TRAY_SHOW, "Show Dexel && Keyboard"},
                           {IDM_TRAY_CANCEL, "Cancel"},
                           {IDM_TRAY_EXIT, "Exit"},
                           {0, nullptr},
                           {IDM_TRAY_EXIT_SYSTEM, "Exit from syxstem"}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    char text[64] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
    if (!expected[i].text) {
      EXPECT_TRUE(info.fType & MFT_SEPARATOR);
      continue;
    }
    EXPECT_FALSE(info.fType & MFT_SEPARATOR);
    EXPECT_EQ(info.wID, expected[i].id);
    EXPECT_STREQ(text, expected[i].text);
  }
  DestroyMenu(menu);
}

// Draws an icon or cursor on a known background; returns how many of its pixels
// it painted, so an image that is empty, or opaque all over, shows.
int PaintedPixels(HICON image, int size) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = size;
  bmi.bmiHeader.biHeight = -size;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) {
    DeleteDC(dc);
    return -1;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  constexpr std::uint32_t kBackground = 0x00FF00FF;  // a colour no picture of ours uses
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < size * size; ++i) pixels[i] = kBackground;
  DrawIconEx(dc, 0, 0, image, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  int painted = 0;
  for (int i = 0; i < size * size; ++i) painted += (pixels[i] & 0x00FFFFFF) != kBackground;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return painted;
}

// The width the icon's own image has when Windows picks one for the given size.
int StoredIconWidth(int size) {
  HRSRC group = FindResourceA(Self(), MAKEINTRESOURCEA(IDI_VANTOR), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  if (!group) return 0;
  auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Self(), group)));
  int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC image = FindResourceA(Self(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3) /* RT_ICON */);
  if (!image || SizeofResource(Self(), image) < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER header;
  std::memcpy(&header, LockResource(LoadResource(Self(), image)), sizeof header);
  return header.biWidth;
}

TEST(ResourceImages, IconHasItsOwn32And16PixelImages) {
  EXPECT_EQ(StoredIconWidth(32), 32);
  EXPECT_EQ(StoredIconWidth(16), 16);
  for (int size : {32, 16}) {
    SCOPED_TRACE(size);
    auto icon = static_cast<HICON>(LoadImageA(Self(), MAKEINTRESOURCEA(IDI_VANTOR), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP colour = {};
    ASSERT_NE(info.hbmColor, nullptr);
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    int painted = PaintedPixels(icon, size);
    EXPECT_GT(painted, 0);
    EXPECT_LT(painted, size * size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(ResourceImages, HelpCursorPointsWithItsTopLeftTip) {
  HCURSOR cursor = LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_HELP_CURSOR));
  ASSERT_NE(cursor, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 0u);
  EXPECT_EQ(info.yHotspot, 0u);
  int painted = PaintedPixels(cursor, 32);
  EXPECT_GT(painted, 0);
  EXPECT_LT(painted, 32 * 32);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

std::uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
unsigned Le16(const unsigned char* p) { return p[0] | p[1] << 8; }

TEST(ResourceStartSound, IsAShortAudibleMonoPcmWaveAt22050Hz8Bit) {
  HRSRC found = FindResourceA(Self(), MAKEINTRESOURCEA(IDW_START_SOUND), MAKEINTRESOURCEA(RT_VANTOR_WAVE));
  ASSERT_NE(found, nullptr);
  const DWORD size = SizeofResource(Self(), found);
  auto* wave = static_cast<const unsigned char*>(LockResource(LoadResource(Self(), found)));
  ASSERT_NE(wave, nullptr);
  ASSERT_GE(size, 12u);
  EXPECT_EQ(std::memcmp(wave, "RIFF", 4), 0);
  EXPECT_EQ(Le32(wave + 4), size - 8);
  EXPECT_EQ(std::memcmp(wave + 8, "WAVE", 4), 0);

  const unsigned char* format = nullptr;
  const unsigned char* data = nullptr;
  std::uint32_t dataSize = 0;
  for (DWORD at = 12; at + 8 <= size;) {
    std::uint32_t chunk = Le32(wave + at + 4);
    ASSERT_LE(chunk, size - at - 8) << "chunk runs past the resource";
    if (std::memcmp(wave + at, "fmt ", 4) == 0 && chunk >= 16) format = wave + at + 8;
    if (std::memcmp(wave + at, "data", 4) == 0) {
      data = wave + at + 8;
      dataSize = chunk;
    }
    at += 8 + chunk + (chunk & 1);
  }
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(Le16(format), 1u);       // PCM
  EXPECT_EQ(Le16(format + 2), 1u);   // mono
  EXPECT_EQ(Le32(format + 4), 22050u);
  EXPECT_EQ(Le32(format + 8), 22050u);  // bytes per second
  EXPECT_EQ(Le16(format + 12), 1u);  // bytes per frame
  EXPECT_EQ(Le16(format + 14), 8u);
  ASSERT_NE(data, nullptr);
  EXPECT_GT(dataSize, 0u);
  EXPECT_LE(dataSize, 22050u) << "longer than a second";
  int loudest = 0;
  for (std::uint32_t i = 0; i < dataSize; ++i) loudest = std::max(loudest, std::abs(data[i] - 128));
  EXPECT_GT(loudest, 32) << "too quiet to hear";
}

}  // namespace
