// TOption: the modal dialog that chooses the receiver and the COM port. Its
// transfer record is the program-wide PortOptionsRecord; the six radio buttons
// are created in the record's field order, which is what makes the transfer land
// in the right fields.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/events/port_options_record.h"
#include "app/framework/controls.h"
#include "app/framework/dialog.h"
#include "app/resources/resource_ids.h"

namespace vantor {

class TOption : public TDialog {
 public:
  TOption(TWindow* parent, PortOptionsRecord& record);

  // Whether each COM button is enabled when the dialog opens.
  std::int32_t EnableCom1 = TRUE;
  std::int32_t EnableCom2 = TRUE;
  std::int32_t EnableCom3 = TRUE;
  std::int32_t EnableCom4 = TRUE;

 protected:
  void SetupWindow() override;

 private:
  TRadioButton Com2{this, IDC_OPTION_COM2};
  TRadioButton Com4{this, IDC_OPTION_COM4};
  TRadioButton Pellow{this, IDC_OPTION_PELLOW};
  TRadioButton Kestrel{this, IDC_OPTION_KESTREL};
  TRadioButton Com1{this, IDC_OPTION_COM1};
  TRadioButton Com3{this, IDC_OPTION_COM3};
};

}  // namespace vantor
