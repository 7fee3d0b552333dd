// TDexel: the main dialog. It owns the events list, the two receivers, the IrDA
// driver control, the port options and the watcher; loads the settings when its
// window exists, opens the configured port, edits the list, starts or resumes
// the watcher and hides itself in the notification area, and comes back from it.
#pragma once

#include <windows.h>

#include <string>

#include "app/events/learned_events.h"
#include "app/events/port_options_record.h"
#include "app/events/settings_store.h"
#include "app/events/sig_catch.h"
#include "app/framework/controls.h"
#include "app/framework/dialog.h"
#include "app/resources/private_messages.h"
#include "app/main/receiver_owner.h"
#include "app/options/port_options.h"
#include "app/options/set_ms_ir.h"
#include "app/receivers/receivers.h"
#include "app/resources/resource_ids.h"
#include "app/wizard/wizard.h"
#include "app/wizard/wizard_host.h"

namespace vantor {

class TDexel : public TDialog, public TWatcherHost, public TWizardHost {
 public:
  explicit TDexel(TWindow* parent);
  ~TDexel() override;

  // Exit button, the tray's Exit items and the frame's close box.
  void CloseMainWindow();
  void Show();

 protected:
  void SetupWindow() override;
  // Esc (the dialog's cancel) must not end the program and lose unsaved edits:
  // only Exit, the tray's exit items and the frame's close box close it.
  void CmCancel() override {}
  void EvClose() override { CloseMainWindow(); }
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // TWatcherHost
  TReceiver* ChosenReceiver() override { return ReceiverSet.Chosen(); }
  // The main window's Option, the set-up and the watcher's lost port: the options
  // take the receivers for as long as they run.
  void PortOptionsProcedure() override;

  // TWizardHost
  TLearnedEvents& LearnedEvents() override { return Events; }
  bool OptionsHaveReceivers() override;
  bool BorrowReceivers() override { return Receivers.Borrow(TReceiverOwner::TUser::Learning); }
  void ReturnReceivers() override { Receivers.GiveBack(TReceiverOwner::TUser::Learning); }
  void PortOptionsForLearning() override { PortOwner.PortOptionsProcedure(); }
  void PlayStartSound() override;
  void PointAtEntry(int index) override;
  void SelectEntry(int index) override;

  void AddEvent();
  void Delete();
  void SelectionChanged();
  void EditChanged();
  void Update();
  void Option();
  void Start();
  void Exit() { CloseMainWindow(); }
  void ShowFromMenu() { Show(); }
  void Nothing() {}
  LRESULT TrayMouse(WPARAM, LPARAM lParam);
  LRESULT ShowWizardStep(WPARAM, LPARAM) {
    Wizard.ShowStep();
    return TRUE;
  }

  void OpenConfiguredPort();
  // Where the entry last selected is now, or -1 when it is gone or none was selected.
  int RememberedIndex() const;
  void TrayIcon(DWORD operation);
  HWND Frame() const { return ::GetParent(GetHandle()); }

  TButton DeleteButton{this, IDC_MAIN_DELETE};
  TComboBox EventsList{this, IDC_MAIN_EVENTS_LIST};
  // The learned list EventsList shows; every edit goes through it.
  TLearnedEvents Events{EventsList};
  TButton UpdateButton{this, IDC_MAIN_UPDATE};
  TButton OptionButton{this, IDC_MAIN_OPTION};

  TPortSettings Settings;       // ComPortNumber, ComPortName, RcFormatCode
  PortOptionsRecord Ports;      // the program-wide receiver and COM choice
  TSetMsIr IrDA;
  // Both receivers, chosen by Ports, with the format code in Settings. Never
  // released: the watcher thread is never joined, and a receive step of it may
  // still be under way when the window goes.
  TReceivers& ReceiverSet;
  TPortOptionsOwner PortOwner;
  TSigCatch Watcher{this};
  // Lives for the whole run, its steps too; their windows come and go.
  TWizard Wizard{this, *this};

  int SelectedIndex = -1;
  // Whether an entry was selected since the last Delete or Update: without one,
  // Update only adds the edited text and deletes nothing.
  bool SelectionValid = false;
  // The selected entry's text: an entry added since moves it to another index.
  std::string SelectedText;
  // Who has the receivers: the watcher, a learning or the options.
  TReceiverOwner Receivers{Watcher};

  HICON TrayIconImage = nullptr;
  const void* StartSound = nullptr;
  HMENU TrayMenu = nullptr;
  HMENU TrayPopup = nullptr;
  static const TResponseTable<TDexel> Responses;
};

}  // namespace vantor
