// A private D-Bus daemon standing in for the system bus, reached through
// DBUS_SYSTEM_BUS_ADDRESS while it lives, and the stand-in time service on
// it. Nothing here reaches the machine's own bus or clock.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class PrivateSystemBus {
 public:
  PrivateSystemBus() {
    char pattern[] = "/tmp/tempiola-bus-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return;
    dir_ = pattern;
    ::chmod(dir_.c_str(), 0755);  // an ordinary user's program may connect too
    const std::string config = dir_ + "/bus.conf";
    std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig><listen>unix:path="
                          << dir_ << "/bus</listen><auth>EXTERNAL</auth>"
                             "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                             "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n";
    if (const char* previous = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) previous_ = previous;
    // Its complaints (it may not raise its descriptor limit) stay out of the
    // test output.
    daemon_ = Spawn({"dbus-daemon", "--nofork", "--config-file=" + config, "--print-address=1"}, address_, true);
    while (!address_.empty() && (address_.back() == '\n')) address_.pop_back();
    if (daemon_ > 0 && !address_.empty()) ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
  }
  ~PrivateSystemBus() {
    Stop(service_);
    Stop(daemon_);
    if (previous_.empty()) {
      ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    } else {
      ::setenv("DBUS_SYSTEM_BUS_ADDRESS", previous_.c_str(), 1);
    }
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  PrivateSystemBus(const PrivateSystemBus&) = delete;
  PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

  bool Up() const { return daemon_ > 0 && !address_.empty(); }
  const std::string& address() const { return address_; }

  // Starts the stand-in service answering allow, deny or ntp (automatic
  // synchronisation enabled); true once it owns its name.
  bool StartTimeService(const std::string& mode) {
    Stop(service_);
    std::string ready;
    service_ = Spawn({TEMPIOLA_FAKE_TIMEDATED, mode, RecordPath()}, ready);
    return service_ > 0 && ready == "ready\n";
  }

  // The calls the service received, one line each.
  std::string Calls() const {
    std::ifstream f(RecordPath());
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }

 private:
  std::string RecordPath() const { return dir_ + "/calls"; }

  // Starts a program and reads its first line of output.
  static pid_t Spawn(const std::vector<std::string>& args, std::string& firstLine, bool quiet = false) {
    int out[2];
    if (::pipe(out) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(out[1], 1);
      if (quiet) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
      }
      ::close(out[0]);
      ::close(out[1]);
      std::vector<char*> argv;
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execvp(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    char c;
    while (::read(out[0], &c, 1) == 1) {
      firstLine += c;
      if (c == '\n') break;
    }
    ::close(out[0]);
    return pid;
  }

  static void Stop(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
  }

  std::string dir_;
  std::string address_;
  std::string previous_;  // put back at the end
  pid_t daemon_ = -1;
  pid_t service_ = -1;
};
