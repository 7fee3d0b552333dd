// TWindow: a C++ object bound to an HWND. One window procedure (and one dialog
// procedure, in dialog.cpp) finds the object and routes each message through the
// object's response table: control ids, notification codes and private messages.
// No exception ever leaves a window procedure.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace vantor {

class TWindow {
 public:
  TWindow() = default;
  explicit TWindow(TWindow* parent) : Parent(parent) {}
  virtual ~TWindow() = default;
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND GetHandle() const { return Handle; }
  TWindow* GetParent() const { return Parent; }

  // A chance to take a queued message before it is translated and dispatched
  // (the application offers it to the target window and then to its parents).
  // Returns true when the message was consumed.
  virtual bool PreProcessMsg(MSG& msg);

  // The object bound to a window, or null.
  static TWindow* FromHandle(HWND hwnd);

 protected:
  // Looks a message up in the object's response table; true when handled.
  virtual bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Binds the object to a window: FromHandle finds it from then on.
  void Bind(HWND hwnd);
  void Unbind();

  // Routes one message; shared by the window and dialog procedures.
  bool Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

  TWindow* Parent = nullptr;
  HWND Handle = nullptr;
};

// A class's handlers: "command 130 runs AddEvent", "CBN_SELCHANGE from 101 runs
// SelectionChanged", "WM_USER + 300 runs ShowWizardStep". Declared as a static
// member and consulted by the class's Dispatch override:
//
//   bool Dispatch(UINT m, WPARAM w, LPARAM l, LRESULT& r) override {
//     return Responses.Dispatch(this, m, w, l, r) || TDialog::Dispatch(m, w, l, r);
//   }
template <class T>
class TResponseTable {
 public:
  using Action = void (T::*)();
  using Handler = LRESULT (T::*)(WPARAM, LPARAM);

  struct Entry {
    enum class Kind { Command, Notification, Message } kind;
    UINT id;    // control or menu id; the message for Kind::Message
    UINT code;  // notification code
    Action action = nullptr;
    Handler handler = nullptr;
  };

  // A button click, menu item or accelerator with this id.
  static Entry Command(UINT id, Action a) { return {Entry::Kind::Command, id, 0, a, nullptr}; }
  // A control's notification (CBN_SELCHANGE, EN_CHANGE, ...).
  static Entry Notification(UINT id, UINT code, Action a) { return {Entry::Kind::Notification, id, code, a, nullptr}; }
  // A message, typically a private one; the handler's result is the message's result.
  static Entry Message(UINT msg, Handler h) { return {Entry::Kind::Message, msg, 0, nullptr, h}; }

  TResponseTable(std::initializer_list<Entry> entries) : Entries(entries) {}

  bool Dispatch(T* self, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
    for (const Entry& e : Entries) {
      if (e.kind == Entry::Kind::Message) {
        if (msg != e.id) continue;
        result = (self->*e.handler)(wParam, lParam);
        return true;
      }
      if (msg != WM_COMMAND || LOWORD(wParam) != e.id) continue;
      UINT code = HIWORD(wParam);
      // Buttons click with BN_CLICKED (0), menus with 0, accelerators with 1.
      bool match = e.kind == Entry::Kind::Command ? (code == BN_CLICKED || code == 1) : code == e.code;
      if (!match) continue;
      (self->*e.action)();
      result = 0;
      return true;
    }
    return false;
  }

 private:
  std::vector<Entry> Entries;
};

}  // namespace vantor
