#include "bench/pty_port.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {
namespace {

// The bench script starts pty_hub for each test program and passes its port.
SOCKET ConnectHub() {
  static bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  const char* port = std::getenv("VANTOR_PTY_HUB");
  if (!started || !port || !*port) {
    std::fprintf(stderr, "bench: no pty hub (run the test through wine-bench.sh)\n");
    return INVALID_SOCKET;
  }
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  BOOL one = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  return s;
}

// Reads the hub's one-line answer byte by byte so no relayed data is swallowed.
std::string ReadLine(SOCKET s) {
  std::string line;
  char c;
  while (recv(s, &c, 1, 0) == 1 && c != '\n') line += c;
  return line;
}

bool Ask(SOCKET s, const std::string& command, std::string& answer) {
  if (send(s, command.data(), static_cast<int>(command.size()), 0) != static_cast<int>(command.size())) return false;
  answer = ReadLine(s);
  return answer.rfind("OK", 0) == 0;
}

}  // namespace

PtyPort::PtyPort(int com, Mode mode) : Com(com) {
  SOCKET s = ConnectHub();
  if (s == INVALID_SOCKET) return;
  std::string answer;
  if (mode == Mode::Held) {
    // The hub keeps the held line; this object only reports that it is in place.
    if (Ask(s, "HOLD " + std::to_string(com) + "\n", answer)) IsHeld = true;
    else std::fprintf(stderr, "bench: HOLD COM%d failed: %s\n", com, answer.c_str());
    closesocket(s);
    return;
  }
  if (!Ask(s, "OPEN " + std::to_string(com) + "\n", answer)) {
    std::fprintf(stderr, "bench: OPEN COM%d failed: %s\n", com, answer.c_str());
    closesocket(s);
    return;
  }
  Sock = s;
}

PtyPort::~PtyPort() { Hangup(); }

void PtyPort::Hangup() {
  if (Sock == kNoSocket) return;
  closesocket(static_cast<SOCKET>(Sock));
  Sock = kNoSocket;
  // The hub kills the line when it sees the connection go; give it a moment
  // so the next step of the test meets a line that is really gone.
  Sleep(50);
}

bool PtyPort::Shut() {
  if (Sock == kNoSocket) return false;
  SOCKET s = ConnectHub();
  if (s == INVALID_SOCKET) return false;
  std::string answer;
  bool good = Ask(s, "SHUT " + std::to_string(Com) + "\n", answer);
  closesocket(s);
  closesocket(static_cast<SOCKET>(Sock));
  Sock = kNoSocket;
  return good;
}

bool PtyPort::Write(const void* data, std::size_t n) {
  if (!ok()) return false;
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    int sent = send(static_cast<SOCKET>(Sock), p, static_cast<int>(n), 0);
    if (sent <= 0) return false;
    p += sent;
    n -= static_cast<std::size_t>(sent);
  }
  return true;
}

std::size_t PtyPort::Read(void* buf, std::size_t n, unsigned timeoutMs) {
  if (!ok() || n == 0) return 0;
  SOCKET s = static_cast<SOCKET>(Sock);
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
  if (select(0, &set, nullptr, nullptr, &tv) <= 0) return 0;
  int got = recv(s, static_cast<char*>(buf), static_cast<int>(n), 0);
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool PtyPort::Settings(LineSettings& out) const {
  SOCKET s = ConnectHub();
  if (s == INVALID_SOCKET) return false;
  std::string answer;
  bool good = Ask(s, "STATE " + std::to_string(Com) + "\n", answer);
  closesocket(s);
  if (!good) return false;
  return std::sscanf(answer.c_str(), "OK %u %d %c %d", &out.baud, &out.dataBits, &out.parity, &out.stopBits) == 4;
}

}  // namespace bench
