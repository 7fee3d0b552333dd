#include "app/framework/controls.h"

#include <cstring>

#include "app/framework/dialog.h"

namespace vantor {

TControl::TControl(TDialog* parent, int id) : Id(id) {
  if (parent) parent->AddControl(this);
}

std::string TEdit::GetText() const {
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

int TComboBox::GetCount() const { return static_cast<int>(SendMessageA(Handle, CB_GETCOUNT, 0, 0)); }

int TComboBox::FindString(const char* prefix) const {
  // From the top: the search starts after item -1.
  return static_cast<int>(SendMessageA(Handle, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix)));
}

int TComboBox::GetStringLen(int index) const {
  return static_cast<int>(SendMessageA(Handle, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
}

std::string TComboBox::GetString(int index) const {
  // CB_GETLBTEXT takes no buffer size: ask for the length first so no entry,
  // however long, is cut or written past the buffer.
  int length = GetStringLen(index);
  if (length < 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  int got = static_cast<int>(SendMessageA(Handle, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())));
  if (got < 0) return {};
  text.resize(static_cast<std::size_t>(got < length ? got : length));
  return text;
}

int TComboBox::GetString(int index, char* buffer, int size) const {
  int got = static_cast<int>(SendMessageA(Handle, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
  if (got < 0 || got >= size) return -1;
  buffer[got] = '\0';
  return got;
}

int TComboBox::GetSelIndex() const { return static_cast<int>(SendMessageA(Handle, CB_GETCURSEL, 0, 0)); }

void TComboBox::SetSelIndex(int index) const { SendMessageA(Handle, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string TComboBox::GetText() const {
  int length = GetWindowTextLengthA(Handle);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  int got = GetWindowTextA(Handle, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

void TComboBox::SetText(const char* text) const { SetWindowTextA(Handle, text); }

}  // namespace vantor
