// Control objects of a dialog. A dialog creates them in its constructor with its
// own `this` and the control's id; they are bound to their windows when the
// dialog's window exists. Moving their data to and from a record is the dialog's
// DoDataExchange, by control id.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantor {

class TDialog;

class TControl {
 public:
  // A control of a dialog; registers with the dialog.
  TControl(TDialog* parent, int id);
  // A control window made elsewhere.
  explicit TControl(HWND hwnd) : Handle(hwnd), Id(hwnd ? GetDlgCtrlID(hwnd) : 0) {}
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  HWND GetHandle() const { return Handle; }
  int GetId() const { return Id; }
  void Attach(HWND hwnd) { Handle = hwnd; }
  void EnableWindow(bool enable) const { ::EnableWindow(Handle, enable ? TRUE : FALSE); }
  bool IsWindowEnabled() const { return ::IsWindowEnabled(Handle) != FALSE; }
  // The window text: an edit field's, or a combo box's edit field.
  std::string GetText() const;
  void SetText(const char* text) const { SetWindowTextA(Handle, text); }

 protected:
  HWND Handle = nullptr;
  int Id = 0;
};

class TButton : public TControl {
 public:
  using TControl::TControl;
};

class TRadioButton : public TControl {
 public:
  using TControl::TControl;
  bool GetCheck() const { return SendMessageA(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetCheck(bool on) const { SendMessageA(Handle, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
};

class TEdit : public TControl {
 public:
  using TControl::TControl;
  void LimitText(int characters) const { SendMessageA(Handle, EM_LIMITTEXT, static_cast<WPARAM>(characters), 0); }
};

// The operations the program uses, each one window message. GUI thread only.
class TComboBox : public TControl {
 public:
  using TControl::TControl;
  TComboBox() : TControl(static_cast<HWND>(nullptr)) {}

  // Puts an item at `index`, also in a sorted control. Returns its index, or a
  // negative value on failure.
  int InsertString(int index, const char* text) const;
  void ResetContent() const;
  int DeleteString(int index) const;
  // The current selection, negative when none.
  int GetSelIndex() const;
  void SetSelIndex(int index) const;
};

}  // namespace vantor
