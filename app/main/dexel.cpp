#include "app/main/dexel.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "app/events/store_values.h"
#include "app/framework/error_box.h"
#include "win32/bring_to_front.h"
#include "app/resources/resource_ids.h"

namespace vantor {

using R = TResponseTable<TDexel>;
const TResponseTable<TDexel> TDexel::Responses = {
    R::Command(IDC_MAIN_ADD, &TDexel::AddEvent),
    R::Command(IDC_MAIN_DELETE, &TDexel::Delete),
    R::Notification(IDC_MAIN_EVENTS_LIST, CBN_SELCHANGE, &TDexel::SelectionChanged),
    R::Notification(IDC_MAIN_EVENTS_LIST, CBN_EDITCHANGE, &TDexel::EditChanged),
    R::Command(IDC_MAIN_UPDATE, &TDexel::Update),
    R::Command(IDC_MAIN_OPTION, &TDexel::Option),
    R::Command(IDC_MAIN_START, &TDexel::Start),
    R::Command(IDC_MAIN_EXIT, &TDexel::Exit),
    R::Command(IDM_TRAY_EXIT, &TDexel::Exit),
    R::Command(IDM_TRAY_EXIT_SYSTEM, &TDexel::Exit),
    R::Command(IDM_TRAY_SHOW, &TDexel::ShowFromMenu),
    R::Command(IDM_TRAY_CANCEL, &TDexel::Nothing),
    R::Message(TrayMessage, &TDexel::TrayMouse),
    R::Message(WizardStepMessage, &TDexel::ShowWizardStep),
};

TDexel::TDexel(TWindow* parent)
    : TDialog(parent, IDD_MAIN),
      ReceiverSet(*new TReceivers(Ports.UseKestrel, Ports.UsePellow, Settings.RcFormatCode)),
      PortOwner(this, Settings, Ports, ReceiverSet, IrDA.VirtualCom, IrDA.MousePort) {}

TDexel::~TDexel() {
  if (TrayMenu) DestroyMenu(TrayMenu);
}

bool TDexel::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return Responses.Dispatch(this, msg, wParam, lParam, result) || TDialog::Dispatch(msg, wParam, lParam, result);
}

void TDexel::SetupWindow() {
  TDialog::SetupWindow();
  HINSTANCE module = GetModuleHandleA(nullptr);
  TrayIconImage = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_VANTOR), IMAGE_ICON, 16, 16, 0));
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDW_START_SOUND), MAKEINTRESOURCEA(RT_VANTOR_WAVE)))
    if (HGLOBAL loaded = LoadResource(module, found)) StartSound = LockResource(loaded);

  Settings.ComPortNumber = 0;
  std::strcpy(Settings.ComPortName, "NON");
  Ports.UsePellow = Ports.UseKestrel = 0;
  TEventListModel stored;
  LoadSettings(Settings, Ports, stored);
  Events.Show(std::move(stored));

  // Free the physical port of a built-in transceiver; the result does not matter.
  IrDA.ReadStatus();
  IrDA.SetDriver(FALSE);

  char* name = Settings.ComPortName;
  if (std::strncmp(name, "NON", 3) == 0 && std::strncmp(IrDA.PhysicalCom, "COM", 3) == 0) {
    std::snprintf(name, sizeof Settings.ComPortName, "%s", IrDA.PhysicalCom);
  } else if (!std::strcmp(name, IrDA.VirtualCom) || !std::strcmp(name, IrDA.VirtualLpt) ||
             !std::strcmp(name, IrDA.DefaultLpt) || !std::strcmp(name, IrDA.MousePort)) {
    std::strcpy(name, "NON");
  }
  OpenConfiguredPort();

  PlayStartSound();
  TrayMenu = LoadMenuA(module, MAKEINTRESOURCEA(IDM_TRAY));
  TrayPopup = TrayMenu ? GetSubMenu(TrayMenu, 0) : nullptr;
  UpdateButton.EnableWindow(false);
  DeleteButton.EnableWindow(false);
  if (TReceiver* chosen = ReceiverSet.Chosen()) chosen->ShowNotice();
}

void TDexel::OpenConfiguredPort() {
  TReceiver* chosen = ReceiverSet.Chosen();
  if (std::strncmp(Settings.ComPortName, "NON", 3) == 0 || !chosen) {
    PortOptionsProcedure();
    return;
  }
  if (!PortOwner.CheckSerialPort()) {
    PortOptionsProcedure();
    return;
  }
  if (Settings.ComPortNumber == 0) return;
  if (!chosen->Open(Settings.ComPortNumber)) PortOptionsProcedure();
}

void TDexel::Option() { PortOptionsProcedure(); }

void TDexel::PortOptionsProcedure() {
  if (!Receivers.Borrow(TReceiverOwner::TUser::Options)) {
    // Already up, or a learning holds the receivers and asks for it itself if its port is gone.
    PortOwner.BringForward();
    return;
  }
  PortOwner.PortOptionsProcedure();
  Receivers.GiveBack(TReceiverOwner::TUser::Options);
}

bool TDexel::OptionsHaveReceivers() {
  if (Receivers.Holder() != TReceiverOwner::TUser::Options && !PortOwner.IsRunning()) return false;
  PortOwner.BringForward();
  return true;
}

void TDexel::PlayStartSound() {
  if (StartSound) sndPlaySoundA(static_cast<LPCSTR>(StartSound), SND_ASYNC | SND_MEMORY);
}

void TDexel::AddEvent() { Wizard.Open(); }

void TDexel::PointAtEntry(int index) {
  DeleteButton.EnableWindow(true);
  SetFocus(EventsList.GetHandle());
  SelectEntry(index);
}

void TDexel::SelectEntry(int index) {
  EventsList.SetSelIndex(index);
  SelectionChanged();
}

void TDexel::Delete() {
  int selection = EventsList.GetSelIndex();
  if (selection >= 0) {
    Events.Delete(selection);
    DeleteButton.EnableWindow(false);
    SelectionValid = false;
  } else {
    EventsList.SetText("");
  }
}

void TDexel::SelectionChanged() {
  int selection = EventsList.GetSelIndex();
  if (selection >= 0) {
    DeleteButton.EnableWindow(true);
    SelectedIndex = selection;
    SelectionValid = true;
    SelectedText = Events.Text(selection);
  } else {
    DeleteButton.EnableWindow(false);
  }
}

void TDexel::EditChanged() { UpdateButton.EnableWindow(true); }

void TDexel::Update() {
  std::string text = EventsList.GetText();
  if (text.size() > kMaxEntryLength) text.resize(kMaxEntryLength);
  // Replace the entry last selected; with none selected since the last Delete or
  // Update, the index is stale and would hit an entry the user never touched.
  // The new text goes in first: a list that refuses it keeps the old entry.
  const int remembered = RememberedIndex();
  const std::string replaced = Events.Text(remembered);
  if (Events.Add(text) < 0) {
    ShowProgramError(kEntryRefused);
    return;
  }
  if (remembered >= 0) Events.Delete(Events.Find(replaced, remembered));
  EventsList.SetText("");
  UpdateButton.EnableWindow(false);
  DeleteButton.EnableWindow(false);
  SelectionValid = false;
}

int TDexel::RememberedIndex() const { return SelectionValid ? Events.Find(SelectedText, SelectedIndex) : -1; }

void TDexel::TrayIcon(DWORD operation) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;  // 88 bytes
  data.hWnd = GetHandle();
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = TrayMessage;
  data.hIcon = operation == NIM_DELETE ? nullptr : TrayIconImage;
  Shell_NotifyIconA(operation, &data);
}

void TDexel::Start() {
  PlayStartSound();
  SaveEventList(Events.Items());
  // The watcher plays what was saved: edits made while it ran wait for this.
  Watcher.UseEvents(Events.Items());
  // Started or resumed now, or as soon as a learning or the options give the receivers back.
  Receivers.RunWatcher();
  TrayIcon(NIM_ADD);
  ShowWindow(Frame(), SW_HIDE);
}

LRESULT TDexel::TrayMouse(WPARAM, LPARAM lParam) {
  if (lParam == WM_LBUTTONDOWN) {
    Show();
  } else if (lParam == WM_RBUTTONDOWN && TrayPopup) {
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(TrayPopup, 0, at.x, at.y, 0, GetHandle(), nullptr);
  }
  return TRUE;
}

void TDexel::Show() {
  Receivers.PauseWatcher();
  ShowWindow(Frame(), SW_SHOWNORMAL);
  if (HWND main = FindWindowA(nullptr, "Vantor")) BringToFront(main);
  PlayStartSound();
}

void TDexel::CloseMainWindow() {
  Receivers.PauseWatcher();
  SavePortSettings(Settings, Ports);
  ReceiverSet.CloseBoth();
  TrayIcon(NIM_DELETE);
  CloseWindow(IDCANCEL);  // the frame follows its client
}

}  // namespace vantor
