#include "app/framework/dialog.h"

#include <algorithm>
#include <cstring>

namespace vantor {
namespace {

// Modeless dialogs that are up, for the message loop's keyboard navigation.
// Owned by the GUI thread.
std::vector<HWND>& ModelessDialogs() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

}  // namespace

TDialog::TDialog(TWindow* parent, int resourceId, HINSTANCE module)
    : TWindow(parent), ResourceId(resourceId), Module(module ? module : GetModuleHandleA(nullptr)) {}

TDialog::~TDialog() {
  if (Handle && !Modal) DestroyWindow(Handle);
}

INT_PTR TDialog::Execute() {
  Modal = true;
  HWND owner = Parent ? Parent->GetHandle() : nullptr;
  INT_PTR result = DialogBoxParamA(Module, MAKEINTRESOURCEA(ResourceId), owner, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  Modal = false;
  return result;
}

HWND TDialog::Create() {
  Modal = false;
  HWND owner = Parent ? Parent->GetHandle() : nullptr;
  HWND hwnd = CreateDialogParamA(Module, MAKEINTRESOURCEA(ResourceId), owner, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  if (hwnd) ModelessDialogs().push_back(hwnd);
  return hwnd;
}

const DLGTEMPLATE* TDialog::ChildTemplate(std::vector<unsigned char>& copy) const {
  HRSRC found = FindResourceA(Module, MAKEINTRESOURCEA(ResourceId), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(Module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;
  DWORD size = SizeofResource(Module, found);
  copy.assign(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size);
  // DLGTEMPLATEEX begins with version 1 and 0xFFFF; its style sits at offset 12.
  WORD header[2];
  std::memcpy(header, copy.data(), sizeof header);
  std::size_t styleOffset = header[0] == 1 && header[1] == 0xFFFF ? 12 : 0;
  DWORD style;
  std::memcpy(&style, copy.data() + styleOffset, sizeof style);
  style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME);
  style |= WS_CHILD | WS_VISIBLE | DS_CONTROL;
  std::memcpy(copy.data() + styleOffset, &style, sizeof style);
  return reinterpret_cast<const DLGTEMPLATE*>(copy.data());
}

HWND TDialog::CreateAsChild(HWND parent) {
  Modal = false;
  std::vector<unsigned char> copy;
  const DLGTEMPLATE* tmpl = ChildTemplate(copy);
  if (!tmpl) return nullptr;
  HWND hwnd = CreateDialogIndirectParamA(Module, tmpl, parent, DialogProc, reinterpret_cast<LPARAM>(this));
  if (hwnd) ModelessDialogs().push_back(hwnd);
  return hwnd;
}

void TDialog::CloseWindow(int result) {
  if (!Handle) return;
  if (Modal) EndDialog(Handle, result);
  else DestroyWindow(Handle);
}

void TDialog::TransferData(TTransferDirection direction) {
  if (!Handle) return;
  TDataExchange exchange(Handle, direction);
  DoDataExchange(exchange);
}

void TDialog::SetupWindow() {
  for (TControl* control : Controls) control->Attach(GetDlgItem(Handle, control->GetId()));
  TransferData(TTransferDirection::SetData);
}

void TDialog::CmOk() {
  TransferData(TTransferDirection::GetData);
  CloseWindow(IDOK);
}

void TDialog::CmCancel() { CloseWindow(IDCANCEL); }

bool TDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
  if (msg == WM_CLOSE) {
    EvClose();
    result = 0;
    return true;
  }
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      CmOk();
      result = 0;
      return true;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      CmCancel();
      result = 0;
      return true;
    }
  }
  return false;
}

bool TDialog::IsModelessDialogMessage(MSG& msg) {
  for (HWND dialog : ModelessDialogs())
    if (IsDialogMessageA(dialog, &msg)) return true;
  return false;
}

INT_PTR CALLBACK TDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<TDialog*>(lParam);
    self->Bind(hwnd);
    try {
      self->SetupWindow();
    } catch (...) {
      // A failed set-up leaves the dialog as the template made it.
    }
    return TRUE;  // the system sets the focus
  }
  self = static_cast<TDialog*>(FromHandle(hwnd));
  if (!self) return FALSE;
  if (msg == WM_DESTROY && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
    PostMessageA(::GetParent(hwnd), kChildDialogGone, 0, reinterpret_cast<LPARAM>(hwnd));
  if (msg == WM_NCDESTROY) {
    auto& dialogs = ModelessDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hwnd), dialogs.end());
    for (TControl* control : self->Controls) control->Attach(nullptr);
    self->Unbind();
    return FALSE;
  }
  LRESULT result = 0;
  if (!self->Route(msg, wParam, lParam, result)) return FALSE;
  SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace vantor
