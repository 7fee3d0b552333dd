#include "bench/remote.h"

#include "app/resources/resource_ids.h"
#include "bench/dialogs.h"
#include "bench/ir55_feed.h"
#include "remotes/sir/uart_bytes.h"

namespace bench {
namespace {

constexpr unsigned kIdleBaud = 19200;

// Waits until `dueMs` after `t0`.
void WaitUntil(DWORD t0, DWORD dueMs, const Waiter& wait) {
  DWORD now = GetTickCount() - t0;
  if (dueMs > now) wait(dueMs - now);
}

}  // namespace

void PlayIr55(PtyPort& port, const ir55::Script& script, const Waiter& wait) {
  DWORD t0 = GetTickCount();
  for (const ir55::TimedByte& b : script.Bytes()) {
    WaitUntil(t0, static_cast<DWORD>(b.atUs / 1000), wait);
    port.Write(&b.value, 1);
  }
}

unsigned WaitForCapture(PtyPort& port, DWORD timeoutMs, const Waiter& wait) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; wait(20)) {
    LineSettings line;
    if (port.Settings(line) && line.baud != kIdleBaud) return line.baud;
  }
  return 0;
}

void PlaySir(PtyPort& port, sir::Protocol protocol, std::uint32_t device, std::uint32_t function, unsigned baud,
             const Waiter& wait, const sir::PressOptions& press) {
  std::vector<std::uint32_t> light = sir::RenderPress(protocol, device, function, press);
  DWORD t0 = GetTickCount();
  for (const sir::UartByte& b : sir::UartBytes(light, baud)) {
    WaitUntil(t0, static_cast<DWORD>(b.arrivalUs / 1000), wait);
    port.Write(&b.value, 1);
  }
}

std::string LearnIr55(HWND step, PtyPort& port, const ir55::Script& press) {
  PostMessageA(GetDlgItem(step, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
  if (!WaitBusy(step, 10000)) return "<not waiting>";
  Sleep(200);  // past the read's purge
  bench::Ir55Feeder feeder(port, press);
  feeder.Wait();
  return TextOf(GetDlgItem(step, IDC_STEP1_STATUS));
}

std::string LearnSir(HWND step, PtyPort& port, sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                     unsigned& baud) {
  const Waiter sleep = [](DWORD ms) { Sleep(ms); };
  PostMessageA(GetDlgItem(step, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
  baud = WaitForCapture(port, 5000, sleep);
  if (!baud) return "<not waiting>";
  Sleep(100);  // past the capture's purge
  PlaySir(port, protocol, device, function, baud, sleep);
  return TextOf(GetDlgItem(step, IDC_STEP1_STATUS));
}

}  // namespace bench
