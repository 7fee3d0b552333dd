// ir55-play: plays IR55 key presses into a serial line at the receiver's pacing.
//
//   ir55-play --tty /dev/ttyS1 press 41 hold 42 300ms
//   ir55-play --pty --link ~/.wine/dosdevices/com1 press 41 wait 1s press 80
//   ir55-play --print hold 42 200ms
//
// --tty opens an existing line (a serial port, or one end of a pair made elsewhere).
// --pty makes a new pseudo-terminal, prints the name of its far end (and points
// --link at it, for Wine's COM mapping), and waits for Enter before it plays.
// --print only lists the bytes and their times.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "remotes/ir55/ir55_emulator.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: ir55-play (--tty PATH | --pty [--link PATH] | --print) COMMAND...\n"
               "commands: press HH | hold HH DURATION | release | byte HH | wait DURATION\n"
               "  HH: code byte in hex; DURATION: 300ms, 1.5s or a bare number of ms\n");
}

// The receiver's line settings, so a real serial port paces the bytes itself.
bool MakeRaw1200(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  cfsetispeed(&t, B1200);
  cfsetospeed(&t, B1200);
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

bool WriteByte(int fd, std::uint8_t b) {
  for (;;) {
    const ssize_t n = write(fd, &b, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

void SleepUntil(const timespec& start, std::uint64_t offsetUs) {
  timespec at = start;
  at.tv_sec += static_cast<time_t>(offsetUs / 1000000);
  at.tv_nsec += static_cast<long>(offsetUs % 1000000) * 1000;
  if (at.tv_nsec >= 1000000000L) {
    at.tv_sec += 1;
    at.tv_nsec -= 1000000000L;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
  }
}

// Each byte goes out when its stop bit would have ended, so whoever reads the other
// end sees the receiver's timing even on a pseudo-terminal, which has no baud rate.
bool Play(int fd, const ir55::Script& script) {
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (const ir55::TimedByte& b : script.Bytes()) {
    SleepUntil(start, b.atUs);
    if (!WriteByte(fd, b.value)) {
      std::perror("ir55-play: write");
      return false;
    }
  }
  SleepUntil(start, script.EndUs());
  return true;
}

int OpenPty(std::string& farEnd) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("ir55-play: pseudo-terminal");
    if (master >= 0) close(master);
    return -1;
  }
  const char* name = ptsname(master);
  farEnd = name ? name : "";
  MakeRaw1200(master);
  return master;
}

// Points link at target, replacing only an earlier link, never a real file.
bool Link(const std::string& link, const std::string& target) {
  struct stat st{};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      std::fprintf(stderr, "ir55-play: %s exists and is not a link\n", link.c_str());
      return false;
    }
    unlink(link.c_str());
  }
  if (symlink(target.c_str(), link.c_str()) != 0) {
    std::perror("ir55-play: symlink");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string tty;
  std::string link;
  bool pty = false;
  bool print = false;
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    const std::string opt = argv[i];
    if (opt == "--tty" && i + 1 < argc) {
      tty = argv[++i];
    } else if (opt == "--link" && i + 1 < argc) {
      link = argv[++i];
    } else if (opt == "--pty") {
      pty = true;
    } else if (opt == "--print") {
      print = true;
    } else {
      Usage();
      return 2;
    }
  }
  if (static_cast<int>(!tty.empty()) + static_cast<int>(pty) + static_cast<int>(print) != 1 ||
      (!link.empty() && !pty)) {
    Usage();
    return 2;
  }

  ir55::Script script;
  std::string error;
  if (!ir55::ParseScript(std::vector<std::string>(argv + i, argv + argc), script, error)) {
    std::fprintf(stderr, "ir55-play: %s\n", error.c_str());
    Usage();
    return 2;
  }

  if (print) {
    for (const ir55::TimedByte& b : script.Bytes())
      std::printf("%10.3f ms  %02x\n", static_cast<double>(b.atUs) / 1000.0, b.value);
    return 0;
  }

  int fd;
  if (pty) {
    std::string farEnd;
    fd = OpenPty(farEnd);
    if (fd < 0) return 1;
    if (!link.empty() && !Link(link, farEnd)) return 1;
    std::printf("%s\npress Enter to play\n", farEnd.c_str());
    std::fflush(stdout);
    std::getchar();
  } else {
    fd = open(tty.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
      std::fprintf(stderr, "ir55-play: %s: %s\n", tty.c_str(), std::strerror(errno));
      return 1;
    }
    if (isatty(fd) && !MakeRaw1200(fd)) std::perror("ir55-play: line settings");
  }
  const bool played = Play(fd, script);
  if (!tty.empty()) tcdrain(fd);
  close(fd);
  if (!link.empty()) unlink(link.c_str());
  return played ? 0 : 1;
}
