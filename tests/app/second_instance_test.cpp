// Two real copies of the program on the virtual display: the second one
// says that the first runs, and only after its box is answered does the
// first window come forward; then the second ends without a window of its
// own. Driven with xdotool and read with xprop, as a user's desktop would.
// TEMPIOLA_EXE_COMMAND, when set, replaces the program built beside the test
// (a program and its leading arguments, separated by spaces): that is how
// the Windows build runs here under Wine.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sstream>
#include <thread>
#include <vector>

namespace {

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 256> buffer;
  while (std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  ::pclose(pipe);
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// An ALSA configuration whose default output is a silent null device: the
// copies find a playback device whatever the machine has, so that no
// "no playback device" box joins the windows this test looks for.
std::string SilentSoundConfig() {
  static const std::string dir = [] {
    const std::string exe = TEMPIOLA_EXE;
    const std::string d = exe.substr(0, exe.rfind('/')) + "/test-silent-sound";
    ::mkdir(d.c_str(), 0700);
    ::mkdir((d + "/alsa").c_str(), 0700);
    if (FILE* f = std::fopen((d + "/alsa/asoundrc").c_str(), "w")) {
      std::fputs("pcm.!default { type null }\n", f);
      std::fclose(f);
    }
    return d;
  }();
  return dir;
}

// The copies' runtime directory, where their guard lives: this test's own,
// so that a copy of the program the user runs meanwhile is never met.
std::string RuntimeDir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/tempiola-runtime-XXXXXX";
    return std::string(::mkdtemp(pattern) ? pattern : "");
  }();
  return dir;
}

std::vector<std::string> ProgramCommand() {
  std::vector<std::string> command;
  const char* given = std::getenv("TEMPIOLA_EXE_COMMAND");
  if (given == nullptr || *given == '\0') return {TEMPIOLA_EXE};
  std::istringstream words(given);
  for (std::string word; words >> word;) command.push_back(word);
  return command;
}

pid_t Start() {
  const std::string soundConfig = SilentSoundConfig();
  const std::string runtimeDir = RuntimeDir();
  const std::vector<std::string> command = ProgramCommand();
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  // Under Wine the guard lives in the Wine server of the tests' own prefix,
  // which Wine finds through TMPDIR: the copies keep the test's.
  const bool wine = command.front() != TEMPIOLA_EXE;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("NO_AT_BRIDGE", "1", 1);
    ::setenv("XDG_CONFIG_HOME", soundConfig.c_str(), 1);
    if (!wine) {
      ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
      ::setenv("TMPDIR", runtimeDir.c_str(), 1);
    }
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

// Asks until the condition holds or the time is up; true when it held. The
// limits are generous: a busy machine starts Wine and its windows slowly,
// and a condition met early ends the wait at once.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// The window of a visible title, waited for; empty when none appears. Asked
// anew each time: one search can fail outright when a window it walks past
// goes away, as Wine's own windows do while a program starts.
std::string WaitForWindow(const std::string& titleRegex, std::chrono::seconds limit) {
  std::string ids;
  WaitUntil([&] { return !(ids = Shell("xdotool search --onlyvisible --name '" + titleRegex + "'")).empty(); }, limit);
  return ids.substr(0, ids.find('\n'));
}

std::string WindowState(const std::string& id) { return Shell("xprop -id " + id + " WM_STATE | grep 'window state'"); }

bool WaitForExit(pid_t pid, int& status, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

class Process {
 public:
  explicit Process(pid_t pid) : pid_(pid) {}
  ~Process() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  pid_t pid() const { return pid_; }
  void Forget() { pid_ = -1; }

 private:
  pid_t pid_;
};

TEST(SecondInstance, ReportsTheRunningCopyThenBringsItForwardAndEnds) {
  ASSERT_FALSE(Shell("xprop -root _NET_SUPPORTING_WM_CHECK").empty()) << "needs the fixture's window manager";
  ASSERT_FALSE(RuntimeDir().empty());
  struct RemoveRuntimeDir {
    ~RemoveRuntimeDir() { std::filesystem::remove_all(RuntimeDir()); }
  } removeRuntimeDir;  // after both copies have ended
  Process first(Start());
  const std::string window = WaitForWindow("^Orlavine$", std::chrono::seconds(180));
  ASSERT_FALSE(window.empty()) << "the first copy shows its main window";
  // A fixed size and no maximise box: the window manager offers no maximising.
  EXPECT_EQ(Shell("xprop -id " + window + " _NET_WM_ALLOWED_ACTIONS").find("MAXIMIZE"), std::string::npos);
  Shell("xdotool windowminimize " + window);
  const auto iconic = [&] { return WindowState(window).find("Iconic") != std::string::npos; };
  ASSERT_TRUE(WaitUntil(iconic, std::chrono::seconds(30))) << WindowState(window);

  Process second(Start());
  const std::string box = WaitForWindow("^tempiola$", std::chrono::seconds(120));
  ASSERT_FALSE(box.empty()) << "the second copy shows its message box";
  // Nothing happens to the first window while the box waits for the user.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(iconic());
  int status = 0;
  EXPECT_FALSE(WaitForExit(second.pid(), status, 10)) << "the second copy waits for its box";
  // The first window is minimised: a visible main window would be the second's.
  EXPECT_EQ(Shell("xdotool search --onlyvisible --name '^Orlavine$' | wc -l"), "0") << "no main window of the second copy";

  Shell("timeout 60 xdotool windowactivate --sync " + box + " key Return");
  ASSERT_TRUE(WaitForExit(second.pid(), status, 60000)) << "the second copy ends after the box";
  second.Forget();
  EXPECT_TRUE(WIFEXITED(status));

  // The first window: restored, active, and not left above the others. The
  // window manager carries the request out in its own time.
  const auto restoredAndActive = [&] {
    return WindowState(window).find("Normal") != std::string::npos && Shell("xdotool getactivewindow") == window;
  };
  WaitUntil(restoredAndActive, std::chrono::seconds(30));
  EXPECT_NE(WindowState(window).find("Normal"), std::string::npos);
  EXPECT_EQ(Shell("xdotool getactivewindow"), window);
  EXPECT_EQ(Shell("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE"), std::string::npos);
}

}  // namespace
