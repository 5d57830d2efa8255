#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/ntp/chrony_server.h"

namespace {

constexpr const char* kChronyd = "/usr/sbin/chronyd";

// A UDP port that is free on both loopback addresses right now.
int FreePort() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int v4 = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a4{};
    a4.sin_family = AF_INET;
    a4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a4;
    int port = 0;
    if (bind(v4, reinterpret_cast<sockaddr*>(&a4), sizeof a4) == 0 &&
        getsockname(v4, reinterpret_cast<sockaddr*>(&a4), &length) == 0) {
      port = ntohs(a4.sin_port);
    }
    const int v6 = socket(AF_INET6, SOCK_DGRAM, 0);
    sockaddr_in6 a6{};
    a6.sin6_family = AF_INET6;
    a6.sin6_addr = in6addr_loopback;
    a6.sin6_port = htons(static_cast<uint16_t>(port));
    const bool bothFree = port != 0 && bind(v6, reinterpret_cast<sockaddr*>(&a6), sizeof a6) == 0;
    close(v4);
    close(v6);
    if (bothFree) return port;
  }
  return 0;
}

}  // namespace

void ChronyServer::Start() {
  char pattern[] = "/tmp/tempiola-chrony-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    failure_ = "cannot make a temporary directory";
    return;
  }
  dir_ = pattern;
  port_ = FreePort();
  if (port_ == 0) {
    failure_ = "no free port";
    return;
  }
  std::ofstream(dir_ + "/chrony.conf") << "port " << port_ << "\n"
                                       << "bindaddress 127.0.0.1\nbindaddress ::1\n"
                                       << "local stratum 8\n"
                                       << "allow 127.0.0.1\nallow ::1\n"
                                       << "cmdport 0\n"
                                       << "driftfile " << dir_ << "/drift\n"
                                       << "pidfile " << dir_ << "/chronyd.pid\n";
  // As root chronyd would switch to its own user, which cannot write here.
  const passwd* user = getpwuid(geteuid());
  const std::string userName = user ? user->pw_name : "root";
  const std::string conf = dir_ + "/chrony.conf";
  const std::string log = dir_ + "/chronyd.log";
  std::vector<std::string> args = {kChronyd, "-x", "-d", "-t", "120", "-u", userName, "-f", conf};
  if (geteuid() != 0) args.insert(args.begin() + 1, "-U");

  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(kChronyd, argv.data());
    _exit(127);
  }
  pid_ = pid;
  if (pid < 0) failure_ = "fork failed";
}

std::string ChronyServer::Ended() {
  int status = 0;
  if (waitpid(static_cast<pid_t>(pid_), &status, WNOHANG) != pid_) return {};
  pid_ = -1;
  std::ifstream in(dir_ + "/chronyd.log");
  return "chronyd exited: " + std::string(std::istreambuf_iterator<char>(in), {});
}

void ChronyServer::Stop() {
  if (pid_ > 0) {
    kill(static_cast<pid_t>(pid_), SIGTERM);
    waitpid(static_cast<pid_t>(pid_), nullptr, 0);
  }
  if (!dir_.empty()) std::filesystem::remove_all(dir_);
}
