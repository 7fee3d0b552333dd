#include "app/options/option_dialog.h"

namespace vantor {

TOption::TOption(TWindow* parent, PortOptionsRecord& record) : TDialog(parent, IDD_OPTION) {
  SetTransferBuffer(&record, sizeof record);
}

void TOption::SetupWindow() {
  TDialog::SetupWindow();
  // A disabled button keeps its selection.
  Com1.EnableWindow(EnableCom1 != FALSE);
  Com2.EnableWindow(EnableCom2 != FALSE);
  Com3.EnableWindow(EnableCom3 != FALSE);
  Com4.EnableWindow(EnableCom4 != FALSE);
}

}  // namespace vantor
