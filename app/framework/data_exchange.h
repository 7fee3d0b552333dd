// TDataExchange: moves control states between a dialog and a plain record, each
// control bound to its field by control id, so the order in which controls or
// fields are declared does not matter. A dialog lists its bindings in
// DoDataExchange; the same list serves both directions.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vantor {

enum class TTransferDirection { GetData, SetData };  // controls -> record, record -> controls

class TDataExchange {
 public:
  TDataExchange(HWND dialog, TTransferDirection direction) : Dialog(dialog), Transfer(direction) {}

  // A radio button as a 32-bit flag, 1 when on. Taken from the dialog only when a
  // button of its group is on: a group left with no choice keeps the record's.
  void Radio(int id, std::int32_t& flag) const;
  // An edit or static as a zero-terminated text of `size` bytes: at most size - 1
  // characters are taken, and a record text without its terminator is shown cut.
  void Text(int id, char* buffer, std::size_t size) const;
  template <std::size_t N>
  void Text(int id, char (&buffer)[N]) const {
    Text(id, buffer, N);
  }

 private:
  HWND Dialog;
  TTransferDirection Transfer;
};

}  // namespace vantor
