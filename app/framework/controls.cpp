#include "app/framework/controls.h"

#include <cstring>

#include "app/framework/dialog.h"

namespace vantor {

TControl::TControl(TDialog* parent, int id) : Id(id) {
  if (parent) parent->AddControl(this);
}

std::string TControl::GetText() const {
  int length = GetWindowTextLengthA(Handle);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  int got = GetWindowTextA(Handle, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

int TComboBox::InsertString(int index, const char* text) const {
  return static_cast<int>(SendMessageA(Handle, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

void TComboBox::ResetContent() const { SendMessageA(Handle, CB_RESETCONTENT, 0, 0); }

int TComboBox::DeleteString(int index) const {
  return static_cast<int>(SendMessageA(Handle, CB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

int TComboBox::GetSelIndex() const { return static_cast<int>(SendMessageA(Handle, CB_GETCURSEL, 0, 0)); }

void TComboBox::SetSelIndex(int index) const { SendMessageA(Handle, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

}  // namespace vantor
