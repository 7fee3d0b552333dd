// pty_hub: the Linux side of the bench's serial ports. A Windows test under Wine
// cannot create a pseudo-terminal, so it asks this host program over loopback TCP:
//
//   "OPEN n\n"   make a pseudo-terminal, point <com-dir>/COMn at its slave (Wine maps
//                COMn there) and relay bytes between this connection and the master.
//                Closing the connection kills the line: see KillLine.
//   "HOLD n\n"   point COMn at a terminal whose slave is still locked, so every open
//                of it fails: Wine does not refuse a second open of a serial device,
//                so this stands in for a port that another program holds.
//   "SHUT n\n"   close the master of line n, as a receiver whose far end closes
//                does: the slave hangs up, its reads return 0 and Wine reports
//                successful empty reads. The line is not killed afterwards.
//   "STATE n\n"  answer "OK <baud> <data bits> <parity> <stop bits>\n" from the
//                terminal's own settings, as the program under test left them.
//
// It writes its port number to --port-file and serves until killed.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::string g_com_dir;

struct Line {
  bool dead = false;
  int master = -1;
  int slave = -1;  // held open so the terminal's settings stay readable
  std::string link;
  std::string slave_path;
};

struct Client {
  int sock = -1;
  std::string command;  // until the first newline
  bool relaying = false;
  int com = 0;
  std::vector<unsigned char> to_master;
};

std::map<int, Line> g_lines;  // by COM number

unsigned SpeedOf(speed_t s) {
  switch (s) {
    case B50: return 50;
    case B110: return 110;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
  }
}

void SendAll(int fd, const std::string& s) {
  size_t off = 0;
  while (off < s.size()) {
    ssize_t n = send(fd, s.data() + off, s.size() - off, MSG_NOSIGNAL);
    if (n <= 0) return;
    off += static_cast<size_t>(n);
  }
}

void CloseLine(int com) {
  auto it = g_lines.find(com);
  if (it == g_lines.end()) return;
  char target[256] = {};
  ssize_t n = readlink(it->second.link.c_str(), target, sizeof target - 1);
  if (n > 0 && it->second.slave_path == target) unlink(it->second.link.c_str());
  close(it->second.master);
  close(it->second.slave);
  g_lines.erase(it);
}

bool LinkTo(Line& line, int com, std::string& error) {
  line.link = g_com_dir + "/COM" + std::to_string(com);
  std::string tmp = line.link + ".new";
  unlink(tmp.c_str());
  if (symlink(line.slave_path.c_str(), tmp.c_str()) != 0 || rename(tmp.c_str(), line.link.c_str()) != 0) {
    error = std::string("symlink: ") + strerror(errno);
    return false;
  }
  return true;
}

// Publishes a new line as COMn and keeps it; a line that cannot be published is closed.
bool Keep(Line& line, int com, std::string& error) {
  if (!LinkTo(line, com, error)) {
    close(line.master);
    close(line.slave);
    return false;
  }
  g_lines[com] = line;
  return true;
}

// A receiver that goes away must make the program's reads fail, as an unplugged
// serial adapter does on Windows. Closing the master would not do it: Linux hangs
// the slave up, its reads then return 0 and Wine reports a successful empty read.
// The null line discipline fails every read and write instead, so the line is
// kept open in that state until the port is opened again.
void KillLine(int com) {
  auto it = g_lines.find(com);
  if (it == g_lines.end() || it->second.master < 0) return;  // shut: left as it is
  int null_ldisc = 27;  // N_NULL
  if (ioctl(it->second.slave, TIOCSETD, &null_ldisc) == 0) {
    it->second.dead = true;
  } else {
    fprintf(stderr, "pty_hub: N_NULL line discipline unavailable (%s); closing COM%d instead\n", strerror(errno), com);
    CloseLine(com);
  }
}

bool HoldLine(int com, std::string& error) {
  CloseLine(com);
  Line line;
  line.master = posix_openpt(O_RDWR | O_NOCTTY);
  if (line.master < 0 || grantpt(line.master) != 0) {
    error = std::string("posix_openpt: ") + strerror(errno);
    if (line.master >= 0) close(line.master);
    return false;
  }
  line.slave_path = ptsname(line.master);  // not unlocked: opening it fails with EIO
  line.slave = open("/dev/null", O_RDONLY);
  return Keep(line, com, error);
}

bool OpenLine(int com, std::string& error) {
  CloseLine(com);
  Line line;
  if (openpty(&line.master, &line.slave, nullptr, nullptr, nullptr) != 0) {
    error = std::string("openpty: ") + strerror(errno);
    return false;
  }
  termios t{};
  tcgetattr(line.slave, &t);
  cfmakeraw(&t);
  cfsetspeed(&t, B9600);
  tcsetattr(line.slave, TCSANOW, &t);
  fcntl(line.master, F_SETFL, fcntl(line.master, F_GETFL) | O_NONBLOCK);
  line.slave_path = ptsname(line.master);
  return Keep(line, com, error);
}

std::string State(int com) {
  auto it = g_lines.find(com);
  if (it == g_lines.end()) return "ERR no such line\n";
  termios t{};
  if (tcgetattr(it->second.slave, &t) != 0) return "ERR tcgetattr\n";
  int bits = (t.c_cflag & CSIZE) == CS5 ? 5 : (t.c_cflag & CSIZE) == CS6 ? 6 : (t.c_cflag & CSIZE) == CS7 ? 7 : 8;
  char parity = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
  int stop = (t.c_cflag & CSTOPB) ? 2 : 1;
  char out[96];
  snprintf(out, sizeof out, "OK %u %d %c %d\n", SpeedOf(cfgetospeed(&t)), bits, parity, stop);
  return out;
}

// Returns false when the client is finished.
bool Command(Client& c) {
  int com = 0;
  char verb[16] = {};
  if (sscanf(c.command.c_str(), "%15s %d", verb, &com) != 2 || com < 1 || com > 9) {
    SendAll(c.sock, "ERR bad command\n");
    return false;
  }
  if (strcmp(verb, "OPEN") == 0) {
    std::string error;
    if (!OpenLine(com, error)) {
      SendAll(c.sock, "ERR " + error + "\n");
      return false;
    }
    c.relaying = true;
    c.com = com;
    SendAll(c.sock, "OK\n");
    return true;
  }
  if (strcmp(verb, "HOLD") == 0) {
    std::string error;
    SendAll(c.sock, HoldLine(com, error) ? "OK\n" : "ERR " + error + "\n");
    return false;
  }
  if (strcmp(verb, "SHUT") == 0) {
    auto it = g_lines.find(com);
    if (it == g_lines.end() || it->second.master < 0) {
      SendAll(c.sock, "ERR no such line\n");
      return false;
    }
    close(it->second.master);
    it->second.master = -1;
    it->second.dead = true;
    SendAll(c.sock, "OK\n");
    return false;
  }
  if (strcmp(verb, "STATE") == 0) {
    SendAll(c.sock, State(com));
    return false;
  }
  SendAll(c.sock, "ERR unknown verb\n");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string port_file;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (strcmp(argv[i], "--com-dir") == 0) g_com_dir = argv[i + 1];
    if (strcmp(argv[i], "--port-file") == 0) port_file = argv[i + 1];
  }
  if (g_com_dir.empty() || port_file.empty()) {
    fprintf(stderr, "usage: pty_hub --com-dir DIR --port-file FILE\n");
    return 2;
  }
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener, 16) != 0) {
    perror("pty_hub: bind");
    return 1;
  }
  socklen_t len = sizeof addr;
  getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  {
    std::string tmp = port_file + ".tmp";
    FILE* f = fopen(tmp.c_str(), "w");
    if (!f) return 1;
    fprintf(f, "%d\n", ntohs(addr.sin_port));
    fclose(f);
    rename(tmp.c_str(), port_file.c_str());
  }

  std::vector<Client> clients;
  for (;;) {
    std::vector<pollfd> fds;
    std::vector<bool> relayed;  // whether fds holds this client's master too
    fds.push_back({listener, POLLIN, 0});
    for (auto& c : clients) {
      fds.push_back({c.sock, POLLIN, 0});
      auto line = g_lines.find(c.com);
      relayed.push_back(c.relaying && line != g_lines.end() && !line->second.dead);
      if (relayed.back()) {
        short ev = POLLIN;
        if (!c.to_master.empty()) ev |= POLLOUT;
        fds.push_back({line->second.master, ev, 0});
      }
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    size_t k = 1;
    std::vector<size_t> finished;
    for (size_t i = 0; i < clients.size(); ++i) {
      Client& c = clients[i];
      pollfd& s = fds[k++];
      pollfd* m = relayed[i] ? &fds[k++] : nullptr;
      bool done = false;
      if (s.revents & (POLLIN | POLLHUP | POLLERR)) {
        unsigned char buf[4096];
        ssize_t n = recv(c.sock, buf, sizeof buf, 0);
        if (n <= 0) {
          done = true;
        } else if (c.relaying) {
          c.to_master.insert(c.to_master.end(), buf, buf + n);
        } else {
          c.command.append(reinterpret_cast<char*>(buf), static_cast<size_t>(n));
          if (c.command.find('\n') != std::string::npos) done = !Command(c);
        }
      }
      if (!done && m) {
        int master = g_lines[c.com].master;
        if (!c.to_master.empty()) {
          ssize_t n = write(master, c.to_master.data(), c.to_master.size());
          if (n > 0) c.to_master.erase(c.to_master.begin(), c.to_master.begin() + n);
        }
        if (m->revents & POLLIN) {
          unsigned char buf[4096];
          ssize_t n = read(master, buf, sizeof buf);
          if (n > 0) SendAll(c.sock, std::string(reinterpret_cast<char*>(buf), static_cast<size_t>(n)));
        }
      }
      if (done) finished.push_back(i);
    }
    for (size_t j = finished.size(); j-- > 0;) {
      Client& c = clients[finished[j]];
      if (c.relaying) KillLine(c.com);
      close(c.sock);
      clients.erase(clients.begin() + static_cast<long>(finished[j]));
    }
    if (fds[0].revents & POLLIN) {
      int s = accept(listener, nullptr, nullptr);
      if (s >= 0) {
        int one = 1;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        clients.push_back(Client{s, {}, false, 0, {}});
      }
    }
  }
}
