#include "app/options/port_options.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/events/store_values.h"
#include "app/options/serial_access.h"

namespace vantor {
namespace {

const char kKestrelNotice[] =
    "NEC/SONYリモコンは実験用です。\nリモコン信号のリアルタイム解析の機能を持たないので動作が極端に遅延します。\n"
    "Pellow IR-55のみをサポートしています。";

std::wstring Wide(const char* utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring w(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), n);
  return w;
}

// "COM4" gives 4: the number from the fourth character on, as "%d" reads it.
int PortNumberOf(const char* name) {
  if (std::strlen(name) < 3) return 0;
  std::int32_t number = 0;
  return ScanDecimal(name + 3, &number) ? number : 0;
}

void DisableCom(TOption& option, int number) {
  switch (number) {
    case 1: option.EnableCom1 = FALSE; break;
    case 2: option.EnableCom2 = FALSE; break;
    case 3: option.EnableCom3 = FALSE; break;
    case 4: option.EnableCom4 = FALSE; break;
  }
}

void ErrorBox(const char* text, UINT style = MB_OK | MB_ICONEXCLAMATION) {
  MessageBoxExA(nullptr, text, "Error", style, 0);
}

}  // namespace

void ShowKestrelNotice() {
  // Japanese text: shown through the wide API so it reads right on any code page.
  MessageBoxExW(nullptr, Wide(kKestrelNotice).c_str(), L"TransmitterNec/Sony", 0, 0);
}

TPortOptionsOwner::TPortOptionsOwner(TWindow* parent, TPortSettings& port, PortOptionsRecord& record,
                                     TKestrel& kestrel, TPellow& pellow, const char* virtualCom, const char* mousePort)
    : Option(parent, record), Port(port), Record(record), Kestrel(kestrel), Pellow(pellow), VirtualCom(virtualCom),
      MousePort(mousePort) {}

void TPortOptionsOwner::PortOptionsProcedure() {
  Option.EnableCom1 = Option.EnableCom2 = Option.EnableCom3 = Option.EnableCom4 = TRUE;
  DisableCom(Option, PortNumberOf(VirtualCom));
  DisableCom(Option, PortNumberOf(MousePort));

  for (;;) {
    if (Option.Execute() != IDOK) return;

    std::memset(Port.ComPortName, 0, sizeof Port.ComPortName);
    Port.ComPortNumber = 0;
    const std::int32_t* flags[] = {&Record.UseCom1, &Record.UseCom2, &Record.UseCom3, &Record.UseCom4};
    for (int n = 1; n <= 4; ++n) {
      if (*flags[n - 1]) {  // the last set flag wins
        Port.ComPortNumber = n;
        std::snprintf(Port.ComPortName, sizeof Port.ComPortName, "COM%d", n);
      }
    }

    if (Kestrel.PortHandle != INVALID_HANDLE_VALUE) Kestrel.Close();
    if (Pellow.PortHandle != INVALID_HANDLE_VALUE) Pellow.Close();

    BOOL result = FALSE;
    if (Port.ComPortNumber != 0 && (Record.UsePellow || Record.UseKestrel)) result = CheckSerialPort();
    Sleep(10);

    if (result && Port.ComPortNumber != 0) {
      if (Record.UseKestrel) {
        result = Kestrel.UserChangePort(Port.ComPortNumber);
        ShowKestrelNotice();  // whatever the result
      } else if (Record.UsePellow) {
        result = Pellow.UserChangePort(Port.ComPortNumber);
      }
    }
    if (result) return;
  }
}

const char* TPortOptionsOwner::ConfigureCheckedPort(UINT* style) {
  if (!PurgeComm(CheckHandle, PURGE_TXABORT | PURGE_TXCLEAR)) return "fault clear buffer";
  CheckState.DCBlength = sizeof CheckState;
  if (!GetCommState(CheckHandle, &CheckState)) return "fault get com state";
  CheckState.BaudRate = CBR_9600;
  CheckState.ByteSize = 8;
  CheckState.Parity = NOPARITY;
  CheckState.StopBits = ONESTOPBIT;
  CheckState.fBinary = 1;
  if (!SetCommState(CheckHandle, &CheckState)) return "fault change baudrate";
  if (!GetCommTimeouts(CheckHandle, &CheckTimeouts)) return "fault get timeout parameter";
  CheckTimeouts = COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 0};
  if (!SetCommTimeouts(CheckHandle, &CheckTimeouts)) return "fault set timeout parameter";
  if (!SetupComm(CheckHandle, 1024, 1024)) {
    *style |= MB_TASKMODAL;
    return "fault SetupComm";
  }
  return nullptr;
}

BOOL TPortOptionsOwner::CheckSerialPort() {
  CheckHandle = CreateFileA(Port.ComPortName, PortCheckAccess(), 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (CheckHandle == INVALID_HANDLE_VALUE) {
    ErrorBox("Cannot open serial port !\n\nAnother communication software using this port?\n\n\n");
    return FALSE;
  }
  UINT style = MB_OK | MB_ICONEXCLAMATION;
  const char* failure = ConfigureCheckedPort(&style);
  CloseHandle(CheckHandle);
  CheckHandle = INVALID_HANDLE_VALUE;
  if (failure) {
    ErrorBox(failure, style);
    return FALSE;
  }
  return TRUE;
}

}  // namespace vantor
