// The virtual remotes pressing buttons into a bench terminal at the pace a real
// receiver delivers them: the IR55 receiver's code bytes, or the UART bytes an
// IrDA-SIR transceiver makes of a remote's light.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "bench/pty_port.h"
#include "remotes/ir55/ir55_emulator.h"
#include "remotes/sir/protocols.h"

namespace bench {

// How the caller passes the time meanwhile: Sleep, or running a window's messages.
using Waiter = std::function<void(DWORD ms)>;

// The script's bytes, each at its time.
void PlayIr55(PtyPort& port, const ir55::Script& script, const Waiter& wait);

// The IrDA-SIR receiver captures at its format's speed and rests at 19200 between
// captures: the speed once a capture has begun, or 0 when none began in time.
unsigned WaitForCapture(PtyPort& port, DWORD timeoutMs, const Waiter& wait);

// A press as the transceiver's UART gives it at `baud`: by default a button held for a
// quarter of a second, which the watcher plays again while it is held.
void PlaySir(PtyPort& port, sir::Protocol protocol, std::uint32_t device, std::uint32_t function, unsigned baud,
             const Waiter& wait, const sir::PressOptions& press = {.holdUs = 250000});

// The wizard's learning step: presses "&Lern Ir", then the button once the program waits for
// it, and returns the status the learning ends with.
std::string LearnIr55(HWND step, PtyPort& port, const ir55::Script& press);
// The same with an IrDA-SIR remote; `baud` is the speed the capture ran at.
std::string LearnSir(HWND step, PtyPort& port, sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                     unsigned& baud);

}  // namespace bench
