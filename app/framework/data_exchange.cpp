#include "app/framework/data_exchange.h"

#include <string>

namespace vantor {
namespace {

bool IsOn(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool GroupHasChoice(HWND dialog, HWND button) {
  // GetNextDlgGroupItem wraps around inside the button's WS_GROUP run.
  HWND item = button;
  for (int guard = 0; item && guard < 256; ++guard) {
    if (IsOn(item)) return true;
    item = GetNextDlgGroupItem(dialog, item, FALSE);
    if (item == button) break;
  }
  return false;
}

}  // namespace

void TDataExchange::Radio(int id, std::int32_t& flag) const {
  HWND button = GetDlgItem(Dialog, id);
  if (!button) return;
  if (Transfer == TTransferDirection::SetData) {
    SendMessageA(button, BM_SETCHECK, flag ? BST_CHECKED : BST_UNCHECKED, 0);
  } else if (GroupHasChoice(Dialog, button)) {
    flag = IsOn(button) ? 1 : 0;
  }
}

void TDataExchange::Text(int id, char* buffer, std::size_t size) const {
  if (!buffer || size == 0) return;
  HWND control = GetDlgItem(Dialog, id);
  if (!control) return;
  if (Transfer == TTransferDirection::SetData) {
    std::size_t length = 0;
    while (length < size && buffer[length]) ++length;
    std::string text(buffer, length == size ? size - 1 : length);
    SetWindowTextA(control, text.c_str());
  } else {
    int limit = size > 0x7fffffff ? 0x7fffffff : static_cast<int>(size);
    int got = GetWindowTextA(control, buffer, limit);
    buffer[got > 0 && static_cast<std::size_t>(got) < size ? got : 0] = '\0';
  }
}

}  // namespace vantor
