// TDialog: a dialog built from a resource template, modal (Execute) or modeless
// (Create). SetupWindow runs once the controls exist and fills them from the
// record bound in DoDataExchange; OK copies them back and closes, Cancel closes
// and leaves the record alone.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "app/framework/controls.h"
#include "app/framework/data_exchange.h"
#include "app/framework/window.h"

namespace vantor {

// Posted by a child dialog to its parent window as it is destroyed (lParam: its handle).
constexpr UINT kChildDialogGone = WM_APP + 0x100;

class TDialog : public TWindow {
 public:
  TDialog(TWindow* parent, int resourceId, HINSTANCE module = nullptr);
  ~TDialog() override;

  // Runs the dialog modally; returns the result given to CloseWindow (IDOK, IDCANCEL, ...),
  // or -1 when the template cannot be loaded.
  INT_PTR Execute();
  // Creates the dialog modeless and shows it if its template says WS_VISIBLE.
  HWND Create();
  // Creates the dialog as a child of `parent` (a frame's client): the template is
  // used with its pop-up frame and caption taken off.
  HWND CreateAsChild(HWND parent);
  // Ends a modal dialog with `result`; destroys a modeless one.
  void CloseWindow(int result = IDCANCEL);

  // Runs the dialog's bindings in one direction.
  void TransferData(TTransferDirection direction);

  // Called by TControl's constructor.
  void AddControl(TControl* control) { Controls.push_back(control); }

  // For the application's message loop: lets a modeless dialog take its keyboard
  // navigation (Tab, Enter, Esc). True when consumed.
  static bool IsModelessDialogMessage(MSG& msg);

 protected:
  // Binds the controls and fills them from the transfer record. Derived dialogs
  // call this first from their own SetupWindow.
  virtual void SetupWindow();
  // Binds controls to record fields by id; the default binds none.
  virtual void DoDataExchange(TDataExchange&) {}
  virtual void CmOk();
  // Cancel button, and Esc through the dialog's keyboard handling.
  virtual void CmCancel();
  // The caption's close box (or the frame's, for a frame's client): as Cancel
  // unless a dialog tells the two apart.
  virtual void EvClose() { CmCancel(); }
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  const DLGTEMPLATE* ChildTemplate(std::vector<unsigned char>& copy) const;

  int ResourceId;
  HINSTANCE Module;
  bool Modal = false;
  std::vector<TControl*> Controls;
};

}  // namespace vantor
