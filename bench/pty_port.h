// The receiver's end of a pseudo-terminal behind Wine's COMn. The program under
// test opens "COMn" with CreateFileA as usual; the test plays the receiver here.
// The terminal itself lives on the Linux side (pty_hub); we reach it over loopback.
#pragma once

#include <cstddef>

namespace bench {

struct LineSettings {
  unsigned baud = 0;  // Wine reports speeds a terminal cannot hold as 38400
  int dataBits = 0;
  char parity = '?';  // 'N', 'E' or 'O'
  int stopBits = 0;
};

class PtyPort {
 public:
  enum class Mode {
    Ready,  // a receiver is attached: the program can open the port
    Held,   // another program holds the port: every open of it fails
  };
  explicit PtyPort(int com, Mode mode = Mode::Ready);
  ~PtyPort();
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  bool ok() const { return Sock != kNoSocket || IsHeld; }
  // Bytes the receiver sends to the PC.
  bool Write(const void* data, std::size_t n);
  // Bytes the PC sent to the receiver; waits up to timeoutMs for the first one.
  std::size_t Read(void* buf, std::size_t n, unsigned timeoutMs);
  // The terminal's own settings, as the program under test left them.
  bool Settings(LineSettings& out) const;
  // The receiver goes away, as an unplugged adapter does: from now on every read
  // and write the program makes on its open port fails.
  void Hangup();
  // The receiver's end of the line is closed instead: the program's reads then
  // succeed with nothing, and only the port's status shows the line is gone.
  bool Shut();

 private:
  static constexpr unsigned long long kNoSocket = ~0ull;
  int Com;
  unsigned long long Sock = kNoSocket;
  bool IsHeld = false;
};

}  // namespace bench
