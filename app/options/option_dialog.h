// TOption: the modal dialog that chooses the receiver and the COM port. Its six
// radio buttons are bound by id to the fields of the program-wide PortOptionsRecord.
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
  void DoDataExchange(TDataExchange& exchange) override;

 private:
  PortOptionsRecord& Record;
  TRadioButton Com1{this, IDC_OPTION_COM1};
  TRadioButton Com2{this, IDC_OPTION_COM2};
  TRadioButton Com3{this, IDC_OPTION_COM3};
  TRadioButton Com4{this, IDC_OPTION_COM4};
};

}  // namespace vantor
