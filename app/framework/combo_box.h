// A combo box control of a dialog or window: the operations the program uses,
// each one window message. The watcher thread calls FindString and GetString from
// its own thread; the system then runs them on the control's (GUI) thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace vantor {

class TComboBox {
 public:
  TComboBox() = default;
  explicit TComboBox(HWND hwnd) : hwnd_(hwnd) {}
  TComboBox(HWND parent, int id) : hwnd_(GetDlgItem(parent, id)) {}

  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Handle() const { return hwnd_; }

  // Adds an item; a sorted control puts it at its sorted position. Returns its
  // index, or a negative value on failure.
  int AddString(const char* text) const;
  int DeleteString(int index) const;
  // Number of items, negative on error.
  int GetCount() const;
  // First item after index `after` (-1: from the top) that begins with `prefix`,
  // letters compared without case; negative when none.
  int FindString(const char* prefix, int after = -1) const;
  int GetStringLen(int index) const;
  // The whole text of an item; empty when there is no such item.
  std::string GetString(int index) const;
  // The current selection, negative when none.
  int GetSelIndex() const;
  void SetSelIndex(int index) const;
  // The edit field.
  std::string GetText() const;
  void SetText(const char* text) const;
  void Clear() const;

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace vantor
