// Test fixtures for whole-program sound tests: child processes, and a
// private PulseAudio with a null sink that the program plays into and whose
// monitor can be recorded.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/receiver.h"

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

// A child process; killed and reaped if still running when destroyed.
class Child {
 public:
  // stdoutPath empty: stdout into a pipe readable with ReadLine.
  bool Spawn(const std::vector<std::string>& argv, const std::string& stdoutPath, const std::string& stderrPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeFds[2] = {-1, -1};
    if (stdoutPath.empty()) {
      if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
      posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    } else {
      posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int rc = ::posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0) ::close(pipeFds[1]);
    if (rc != 0) {
      if (pipeFds[0] >= 0) ::close(pipeFds[0]);
      pid_ = -1;
      return false;
    }
    out_ = pipeFds[0];
    return true;
  }

  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }

  pid_t pid() const { return pid_; }
  void Signal(int sig) const {
    if (pid_ > 0) ::kill(pid_, sig);
  }

  // One line of the child's stdout without its end; nothing at the end.
  std::optional<std::string> ReadLine() {
    for (;;) {
      if (size_t nl = buffered_.find('\n'); nl != std::string::npos) {
        std::string line = buffered_.substr(0, nl);
        buffered_.erase(0, nl + 1);
        return line;
      }
      char chunk[512];
      ssize_t n = ::read(out_, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (buffered_.empty()) return std::nullopt;
        std::string rest;
        rest.swap(buffered_);
        return rest;
      }
      buffered_.append(chunk, static_cast<size_t>(n));
    }
  }

  // The exit status, or -1 when the child did not end in time (it is then
  // killed) or died of a signal.
  int Wait(std::chrono::seconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
      pid_t r = ::waitpid(pid_, &status, WNOHANG);
      if (r == pid_) break;
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffered_;
};

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A PulseAudio of the test's own, in a temporary directory, with one null
// sink as the default output and its monitor as the default input. Child processes started while it lives reach
// it through ALSA's default device (HOME holds an asoundrc routing the
// default device to PulseAudio) and through PULSE_SERVER.
class PrivateSoundServer {
 public:
  static constexpr const char* kSink = "tempiola_null";
  // A second null sink, at a rate that plays the carriers themselves
  // (PULSE_SINK sends a client there).
  static constexpr const char* kCarrierSink = "tempiola_null192k";

  bool Start(std::string& error) {
    char pattern[] = "/tmp/tempiola-sound-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
      error = "mkdtemp failed";
      return false;
    }
    dir_ = pattern;
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "run");
    fs::permissions(dir_ / "run", fs::perms::owner_all, fs::perm_options::replace);
    std::ofstream(dir_ / "home" / ".asoundrc") << "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
    socket_ = (dir_ / "run" / "native").string();
    std::ofstream(dir_ / "server.pa") << "load-module module-null-sink sink_name=" << kSink
                                      << " rate=44100 channels=1\n"
                                      << "load-module module-null-sink sink_name=" << kCarrierSink
                                      << " rate=192000 channels=1\n"
                                      << "set-default-sink " << kSink << "\n"
                                      << "set-default-source " << kSink << ".monitor\n"
                                      << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket_
                                      << "\n";
    SetEnv("HOME", (dir_ / "home").string());
    SetEnv("XDG_RUNTIME_DIR", (dir_ / "run").string());
    SetEnv("XDG_CONFIG_HOME", (dir_ / "home" / ".config").string());
    SetEnv("PULSE_RUNTIME_PATH", (dir_ / "run").string());
    SetEnv("PULSE_STATE_PATH", (dir_ / "run").string());
    SetEnv("PULSE_SERVER", "unix:" + socket_);
    SetEnv("JACK_NO_START_SERVER", "1");

    if (!server_.Spawn({"pulseaudio", "--system=false", "-n", "--daemonize=no", "--exit-idle-time=-1",
                        "--log-target=stderr", "-F", (dir_ / "server.pa").string()},
                       (dir_ / "pulse.out").string(), (dir_ / "pulse.log").string())) {
        error = "cannot start pulseaudio";
        return false;
    }
    // Ready once a client gets an answer.
    for (int i = 0; i < 100; ++i) {
      Child info;
      if (info.Spawn({"pactl", "info"}, (dir_ / "pactl.out").string(), (dir_ / "pactl.err").string()) &&
          info.Wait(std::chrono::seconds(10)) == 0) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    error = "pulseaudio did not come up: " + ReadFile(dir_ / "pulse.log");
    return false;
  }

  ~PrivateSoundServer() {
    if (server_.pid() > 0) {
      server_.Signal(SIGCONT);  // a test may have frozen it
      server_.Signal(SIGTERM);
      server_.Wait(std::chrono::seconds(10));
    }
    for (auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    if (!dir_.empty()) {
      std::error_code ec;
      fs::remove_all(dir_, ec);
    }
  }

  const fs::path& dir() const { return dir_; }

  // Kills or freezes the server under its clients.
  void Signal(int sig) const { server_.Signal(sig); }

  // Records the sink's monitor, mono 16-bit at the rate, into a file.
  bool StartRecording(Child& recorder, const fs::path& file, unsigned rate) {
    return recorder.Spawn({"parec", "--raw", "--device=" + std::string(kSink) + ".monitor", "--format=s16le",
                           "--rate=" + std::to_string(rate), "--channels=1", "--latency-msec=20"},
                          file.string(), (dir_ / "parec.log").string());
  }

 private:
  void SetEnv(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }

  fs::path dir_;
  std::string socket_;
  Child server_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The sink's monitor recorded (mono 16-bit, as parec writes it) while a
// test plays into the sink, and received back into a station's frames.
class SinkRecording {
 public:
  SinkRecording(PrivateSoundServer& server, unsigned rate) : server_(server), rate_(rate) {}

  // Once the server has started.
  bool Start() {
    path_ = server_.dir() / "recording.raw";
    return server_.StartRecording(recorder_, path_, rate_);
  }

  // Lets the last samples through the server, then ends the recording.
  void Stop() {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    recorder_.Signal(SIGINT);
    recorder_.Wait(std::chrono::seconds(10));
  }

  // The frames heard, and what was heard as text for failure messages.
  Reception Receive(const Station& station, std::string& heard) const {
    const std::string raw = ReadFile(path_);
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    Reception reception = e2e::Receive(samples, rate_, station);
    heard = "lead silence " + std::to_string(reception.leadSilenceMs) + " ms, seconds within " +
            std::to_string(reception.worstSecondMs) + " ms, " + std::to_string(reception.brokenFrames) +
            " frames that carried no time";
    for (const ReceivedFrame& f : reception.frames) heard += "\nframe at " + std::to_string(f.startMs) + " ms: " + f.time;
    return reception;
  }

 private:
  PrivateSoundServer& server_;
  fs::path path_;
  unsigned rate_;
  Child recorder_;
};

}  // namespace e2e
