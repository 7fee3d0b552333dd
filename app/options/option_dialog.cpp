#include "app/options/option_dialog.h"

namespace vantor {

TOption::TOption(TWindow* parent, PortOptionsRecord& record) : TDialog(parent, IDD_OPTION), Record(record) {}

void TOption::DoDataExchange(TDataExchange& exchange) {
  exchange.Radio(IDC_OPTION_PELLOW, Record.UsePellow);
  exchange.Radio(IDC_OPTION_KESTREL, Record.UseKestrel);
  exchange.Radio(IDC_OPTION_COM1, Record.UseCom1);
  exchange.Radio(IDC_OPTION_COM2, Record.UseCom2);
  exchange.Radio(IDC_OPTION_COM3, Record.UseCom3);
  exchange.Radio(IDC_OPTION_COM4, Record.UseCom4);
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
