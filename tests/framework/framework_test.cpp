// The framework under Wine, on the program's own "Option" template (OK, Cancel,
// Help and its six radio buttons).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <stdexcept>
#include <vector>

#include "app/framework/application.h"
#include "app/framework/dialog.h"
#include "app/framework/frame_window.h"
#include "app/framework/thread.h"
#include "app/resources/resource_ids.h"

namespace vantor {
namespace {

constexpr UINT kPrivate = WM_USER + 300;

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

struct SixFlags {
  std::int32_t f[6];
};

class Probe : public TDialog {
 public:
  explicit Probe(SixFlags* record = nullptr) : TDialog(nullptr, IDD_OPTION), Record(record) {}
  std::vector<int> calls;
  WPARAM gotW = 0;
  LPARAM gotL = 0;
  int setups = 0;
  int closeWith = 0;

 protected:
  void SetupWindow() override {
    TDialog::SetupWindow();
    ++setups;
    if (closeWith) PostMessageA(GetHandle(), kPrivate + 1, 0, 0);
  }
  bool Dispatch(UINT m, WPARAM w, LPARAM l, LRESULT& r) override {
    return Responses.Dispatch(this, m, w, l, r) || TDialog::Dispatch(m, w, l, r);
  }
  // Bound in an order unlike the template's and the controls' declaration.
  void DoDataExchange(TDataExchange& x) override {
    if (!Record) return;
    const int ids[6] = {IDC_OPTION_COM2, IDC_OPTION_COM4, IDC_OPTION_PELLOW,
                       IDC_OPTION_KESTREL, IDC_OPTION_COM1, IDC_OPTION_COM3};
    for (int i = 5; i >= 0; --i) x.Radio(ids[i], Record->f[i]);
  }

 private:
  SixFlags* Record;
  void Help() { calls.push_back(IDC_HELP_BUTTON); }
  void PellowNotified() { calls.push_back(IDC_OPTION_PELLOW); }
  void Throws() { throw std::runtime_error("handler failed"); }
  LRESULT Private(WPARAM w, LPARAM l) {
    gotW = w;
    gotL = l;
    return 42;
  }
  LRESULT Close(WPARAM, LPARAM) {
    CloseWindow(closeWith);
    return 0;
  }
  static const TResponseTable<Probe> Responses;

 public:
  TRadioButton Com1{this, IDC_OPTION_COM1}, Com2{this, IDC_OPTION_COM2}, Com3{this, IDC_OPTION_COM3},
      Com4{this, IDC_OPTION_COM4}, Pellow{this, IDC_OPTION_PELLOW}, Kestrel{this, IDC_OPTION_KESTREL};
};

const TResponseTable<Probe> Probe::Responses = {
    TResponseTable<Probe>::Command(IDC_HELP_BUTTON, &Probe::Help),
    TResponseTable<Probe>::Notification(IDC_OPTION_PELLOW, BN_DOUBLECLICKED, &Probe::PellowNotified),
    TResponseTable<Probe>::Command(IDC_OPTION_COM3, &Probe::Throws),
    TResponseTable<Probe>::Message(kPrivate, &Probe::Private),
    TResponseTable<Probe>::Message(kPrivate + 1, &Probe::Close),
};

TEST(Framework, TheResponseTableRoutesCommandsNotificationsAndPrivateMessages) {
  Probe dialog;
  HWND hwnd = dialog.Create();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(dialog.setups, 1);
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED), 0);
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_OPTION_PELLOW, BN_CLICKED), 0);  // a click is not the bound notification
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_OPTION_PELLOW, BN_DOUBLECLICKED), 0);
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, 1), 0);  // an accelerator counts as the command
  EXPECT_EQ(dialog.calls, (std::vector<int>{IDC_HELP_BUTTON, IDC_OPTION_PELLOW, IDC_HELP_BUTTON}));
  EXPECT_EQ(SendMessageA(hwnd, kPrivate, 5, 6), 42);
  EXPECT_EQ(dialog.gotW, 5u);
  EXPECT_EQ(dialog.gotL, 6);
  dialog.CloseWindow();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(dialog.GetHandle(), nullptr);
}

TEST(Framework, AThrowingHandlerDoesNotEscapeTheWindowProcedure) {
  Probe dialog;
  HWND hwnd = dialog.Create();
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_OPTION_COM3, BN_CLICKED), 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(SendMessageA(hwnd, kPrivate, 1, 2), 42);  // and the window goes on working
}

TEST(Framework, TransferBindsByIdAndOkCopiesThemBack) {
  SixFlags record{{0, 1, 0, 1, 0, 0}};  // COM4 and the IrDA-SIR receiver selected
  Probe dialog(&record);
  HWND hwnd = dialog.Create();
  EXPECT_TRUE(dialog.Com4.GetCheck());
  EXPECT_TRUE(dialog.Kestrel.GetCheck());
  EXPECT_FALSE(dialog.Com1.GetCheck());
  dialog.Kestrel.SetCheck(false);
  dialog.Pellow.SetCheck(true);
  dialog.Com1.SetCheck(true);
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Cancel leaves the record alone
  EXPECT_EQ(record.f[3], 1);

  Probe again(&record);
  HWND h2 = again.Create();
  again.Kestrel.SetCheck(false);
  again.Pellow.SetCheck(true);
  again.Com4.SetCheck(false);  // the port group left with no choice keeps the record's
  SendMessageA(h2, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(record.f[0], 0);  // COM2
  EXPECT_EQ(record.f[1], 1);  // COM4
  EXPECT_EQ(record.f[2], 1);  // IR55
  EXPECT_EQ(record.f[3], 0);  // IrDA-SIR
}

// Texts on the "Wizard Step1" template's status field: cut to the record's size,
// never written past it.
struct Texts {
  char text[8];
  char guard[4];
};

class TextProbe : public TDialog {
 public:
  explicit TextProbe(Texts& record) : TDialog(nullptr, IDD_WIZARD_STEP1), Record(record) {}
  using TDialog::TransferData;

 protected:
  void DoDataExchange(TDataExchange& x) override { x.Text(IDC_STEP1_STATUS, Record.text); }

 private:
  Texts& Record;
};

TEST(Framework, TextTransferStaysInsideTheRecord) {
  struct Row {
    const char* record;  // copied without its terminator when 8 long
    const char* typed;
    const char* shown;
    const char* taken;
  } rows[] = {
      {"abc", "xyz", "abc", "xyz"},
      {"abcdefgh", "abcdefghijkl", "abcdefg", "abcdefg"},
      {"", "", "", ""},
  };
  for (const Row& row : rows) {
    Texts record;
    std::memset(&record, 'G', sizeof record);
    std::memcpy(record.text, row.record, std::min<size_t>(strlen(row.record) + 1, sizeof record.text));
    TextProbe dialog(record);
    HWND hwnd = dialog.Create();
    ASSERT_NE(hwnd, nullptr);
    char shown[32] = {};
    GetDlgItemTextA(hwnd, IDC_STEP1_STATUS, shown, sizeof shown);
    EXPECT_STREQ(shown, row.shown) << row.record;
    SetDlgItemTextA(hwnd, IDC_STEP1_STATUS, row.typed);
    dialog.TransferData(TTransferDirection::GetData);
    EXPECT_STREQ(record.text, row.taken) << row.typed;
    EXPECT_EQ(std::string(record.guard, 4), "GGGG");
    dialog.CloseWindow();
  }
}

TEST(Framework, AModalDialogReturnsTheResultGivenToCloseWindow) {
  Probe dialog;
  dialog.closeWith = 77;
  EXPECT_EQ(dialog.Execute(), 77);
  EXPECT_EQ(dialog.setups, 1);
  EXPECT_EQ(dialog.Execute(), 77);  // shown again, set up again
  EXPECT_EQ(dialog.setups, 2);
}

TEST(Framework, AFrameTakesTheSizeOfItsClientAndGoesWithIt) {
  Probe client;
  TFrameWindow frame("Vantor", &client);
  HWND hwnd = frame.Create();
  ASSERT_NE(hwnd, nullptr);
  RECT area, dialog;
  GetClientRect(hwnd, &area);
  GetWindowRect(client.GetHandle(), &dialog);
  EXPECT_EQ(area.right - area.left, dialog.right - dialog.left);
  EXPECT_EQ(area.bottom - area.top, dialog.bottom - dialog.top);
  EXPECT_TRUE(GetWindowLongA(client.GetHandle(), GWL_STYLE) & WS_CHILD);
  char title[32] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  EXPECT_STREQ(title, "Vantor");

  // The close box goes to the client as Cancel, which closes it; the frame follows.
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

class Counter : public TThread {
 public:
  volatile long count = 0;

 protected:
  int Run() override {
    for (;;) {
      PausePoint();
      InterlockedIncrement(&count);
      Sleep(1);
    }
  }
};

TEST(Framework, AThreadStartsSuspendsAndResumes) {
  Counter thread;
  EXPECT_EQ(thread.GetStatus(), TThread::Status::Created);
  ASSERT_TRUE(thread.Start());
  EXPECT_FALSE(thread.Start());
  EXPECT_EQ(thread.GetStatus(), TThread::Status::Running);
  Sleep(50);
  EXPECT_TRUE(thread.Suspend());  // paused at its safe point
  EXPECT_TRUE(thread.IsPaused());
  EXPECT_EQ(thread.GetStatus(), TThread::Status::Suspended);
  long frozen = thread.count;
  Sleep(50);
  EXPECT_EQ(thread.count, frozen);
  EXPECT_GT(frozen, 0);
  EXPECT_TRUE(thread.Resume());
  EXPECT_FALSE(thread.Resume());
  EXPECT_EQ(thread.GetStatus(), TThread::Status::Running);
  Sleep(50);
  EXPECT_GT(thread.count, frozen);
  // A pause asked for right after a resume waits for a new safe point.
  EXPECT_TRUE(thread.Suspend());
  frozen = thread.count;
  Sleep(50);
  EXPECT_EQ(thread.count, frozen);  // it never ends by itself; left parked
}

class Chain : public TApplication {
 public:
  Chain() : TApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL) {}
  std::vector<UINT> seen;
  using TApplication::ProcessMessage;

 protected:
  bool InitMainWindow() override { return false; }
  bool PreTranslate(MSG& msg) override {
    seen.push_back(msg.message);
    return msg.message == WM_USER + 1;
  }
};

class Claimer : public Probe {
 public:
  std::vector<UINT> claimed;
  bool PreProcessMsg(MSG& msg) override {
    if (msg.message != WM_USER + 2) return false;
    claimed.push_back(msg.message);
    return true;
  }
};

// Modal loops take messages from the queue themselves, and commands are often sent
// rather than queued: both must still reach the application first.
class Filtering : public TApplication {
 public:
  Filtering() : TApplication(GetModuleHandleA(nullptr), SW_SHOW) {}
  std::vector<UINT> seen;
  std::vector<WORD> commands;
  bool consumeCommands = false;
  INT_PTR modalResult = 0;

 protected:
  bool InitMainWindow() override {
    Probe modal;
    modal.closeWith = 7;  // posts itself the message that closes it
    modalResult = modal.Execute();
    return false;
  }
  bool PreTranslate(MSG& msg) override {
    seen.push_back(msg.message);
    return false;
  }
  bool FilterCommand(HWND, WPARAM wParam, LPARAM) override {
    commands.push_back(LOWORD(wParam));
    return consumeCommands;
  }
};

TEST(Framework, ModalLoopsAndSentCommandsStillPassTheApplication) {
  Filtering app;
  EXPECT_EQ(app.Run(), 1);
  EXPECT_EQ(app.modalResult, 7);
  EXPECT_NE(std::find(app.seen.begin(), app.seen.end(), kPrivate + 1), app.seen.end());

  Probe dialog;
  HWND hwnd = dialog.Create();
  LPARAM help = reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_HELP_BUTTON));
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED), help);
  app.consumeCommands = true;
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED), help);
  EXPECT_EQ(dialog.calls, std::vector<int>{IDC_HELP_BUTTON});  // the consumed one never reached its handler
  EXPECT_EQ(app.commands, (std::vector<WORD>{IDC_HELP_BUTTON, IDC_HELP_BUTTON}));
}

TEST(Framework, TheMessageChainOffersAppThenWindowAndParentsThenDispatch) {
  Chain app;
  Claimer dialog;
  HWND hwnd = dialog.Create();
  HWND child = GetDlgItem(hwnd, IDC_HELP_BUTTON);
  MSG toApp{child, WM_USER + 1, 0, 0, 0, {}};
  MSG toParent{child, WM_USER + 2, 0, 0, 0, {}};  // sent to a control, claimed by its dialog
  MSG dispatched{hwnd, kPrivate, 3, 4, 0, {}};
  app.ProcessMessage(toApp);
  app.ProcessMessage(toParent);
  app.ProcessMessage(dispatched);
  EXPECT_EQ(app.seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, kPrivate}));
  EXPECT_EQ(dialog.claimed, std::vector<UINT>{WM_USER + 2});
  EXPECT_EQ(dialog.gotW, 3u);  // reached the dialog's response table
  EXPECT_EQ(app.Run(), 1);     // no main window: the program ends with 1
}

}  // namespace
}  // namespace vantor
