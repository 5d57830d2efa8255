#include "platform/instance_channel.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace {

using platform::InstanceChannel;

std::string UniqueName() {
  static int counter = 0;
  return "tempiola-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

// Every test's guards in a runtime directory of this run's own, so that no
// copy of the program the user runs meanwhile is met.
class PrivateRuntimeDir : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/tempiola-runtime-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    ::setenv("TMPDIR", dir_.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

 private:
  std::string dir_;
};
[[maybe_unused]] const auto* const kRuntimeDir = ::testing::AddGlobalTestEnvironment(new PrivateRuntimeDir);

// A raw client, to send what a well-behaved one never would.
int RawConnect(const std::string& name) {
  const std::string path = InstanceChannel::RuntimeDirectory() + "/" + name + ".sock";
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.data(), path.size());
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void SendRaw(const std::string& name, const std::string& bytes) {
  int fd = RawConnect(name);
  ASSERT_GE(fd, 0);
  ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  char buf[64];
  timeval tv{3, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  // The server closes a connection it cannot understand (with a reset when
  // it left bytes unread), rather than answering or letting it hang.
  ssize_t n = ::recv(fd, buf, sizeof buf, 0);
  EXPECT_TRUE(n == 0 || (n < 0 && errno == ECONNRESET)) << "bytes of size " << bytes.size() << ": " << n;
  ::close(fd);
}

struct Activated {
  int index = -1;
  int count = 0;
};

TEST(InstanceChannel, TheNameIsHeldByOneObjectAtATime) {
  const std::string name = UniqueName();
  {
    InstanceChannel first;
    EXPECT_TRUE(first.Create(name));
    EXPECT_FALSE(first.AlreadyExists());

    InstanceChannel second;
    EXPECT_FALSE(second.Create(name));
    EXPECT_TRUE(second.AlreadyExists());

    InstanceChannel other;  // another name is another guard
    EXPECT_TRUE(other.Create(name + "x"));
    EXPECT_FALSE(other.AlreadyExists());
  }
  // Gone with its holder: nothing stale stays behind.
  InstanceChannel again;
  EXPECT_TRUE(again.Create(name));
  EXPECT_FALSE(again.AlreadyExists());
}

TEST(InstanceChannel, AnotherProcessSeesTheNameTaken) {
  const std::string name = UniqueName();
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceChannel second;
    const bool bound = second.Create(name);
    ::_exit(!bound && second.AlreadyExists() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(InstanceChannel, AHolderThatDiesLeavesNoStaleGuard) {
  const std::string name = UniqueName();
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto* leaked = new InstanceChannel;  // never destroyed: the process is killed
    if (!leaked->Create(name)) ::_exit(1);
    ::kill(::getpid(), SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  InstanceChannel next;
  EXPECT_TRUE(next.Create(name));
  EXPECT_TRUE(next.Serve([] { return std::vector<std::string>{"fresh"}; }, nullptr));
  std::vector<std::string> titles;
  EXPECT_TRUE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, std::vector<std::string>{"fresh"});
}

TEST(InstanceChannel, ServesTitlesAndPostsToAnotherProcess) {
  const std::string name = UniqueName();
  const std::string gbkTitle = "Orlavine \xC4\xA3\xCA\xBD\x30";  // with GBK bytes
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  // Fork before the serving thread exists; the child waits until it serves.
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ready[1]);
    char go;
    if (::read(ready[0], &go, 1) != 1) ::_exit(3);
    std::vector<std::string> titles;
    if (!InstanceChannel::QueryTitles(name, titles) || titles.size() != 2 || titles[1] != gbkTitle) ::_exit(1);
    if (!InstanceChannel::ActivateWindow(name, 1)) ::_exit(2);
    ::_exit(0);
  }
  ::close(ready[0]);
  std::mutex mutex;
  Activated activated;
  {
    InstanceChannel first;
    ASSERT_TRUE(first.Create(name));
    ASSERT_TRUE(first.Serve([&] { return std::vector<std::string>{"other", gbkTitle}; },
                            [&](int index) {
                              std::lock_guard lock(mutex);
                              activated = {index, activated.count + 1};
                            }));
    ASSERT_EQ(::write(ready[1], "g", 1), 1);
    ::close(ready[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(activated.count, 1);
  EXPECT_EQ(activated.index, 1);
}

TEST(InstanceChannel, CarriesEveryTitleByteAndTheIndexIntact) {
  const std::string name = UniqueName();
  std::vector<std::string> served = {"", std::string("\x81\x40\xFE\xFE\0x", 6), std::string(300, 'T')};
  std::mutex mutex;
  Activated activated;
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  ASSERT_TRUE(first.Serve([&] { return served; },
                          [&](int index) {
                            std::lock_guard lock(mutex);
                            activated = {index, activated.count + 1};
                          }));
  std::vector<std::string> titles = {"stale"};
  ASSERT_TRUE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, served);

  ASSERT_TRUE(InstanceChannel::ActivateWindow(name, -7));
  std::lock_guard lock(mutex);
  EXPECT_EQ(activated.count, 1);
  EXPECT_EQ(activated.index, -7);
}

TEST(InstanceChannel, NobodyServingMeansNoAnswer) {
  const std::string name = UniqueName();
  std::vector<std::string> titles = {"kept"};
  EXPECT_FALSE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, std::vector<std::string>{"kept"});
  EXPECT_FALSE(InstanceChannel::ActivateWindow(name, 0));

  // Held but not yet serving (no window yet): refused, not hung.
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  EXPECT_FALSE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_FALSE(InstanceChannel::ActivateWindow(name, 0));
}

TEST(InstanceChannel, HostileRequestsHaveNoEffect) {
  const std::string name = UniqueName();
  std::atomic<int> activations{0};
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  ASSERT_TRUE(first.Serve([] { return std::vector<std::string>{"Orlavine"}; },
                          [&](int) { activations.fetch_add(1); }));

  SendRaw(name, std::string("\xFF\xFF\xFF\xFF", 4));           // oversized length
  SendRaw(name, std::string("\x41\x00\x00\x00", 4) + std::string(65, 'A'));  // just over the limit
  SendRaw(name, std::string("\x01\x00\x00\x00\x09", 5));       // unknown request
  SendRaw(name, std::string("\x00\x00\x00\x00", 4));           // empty request
  SendRaw(name, std::string("\x02\x00\x00\x00\x01\x00", 6));   // titles request with extra byte
  SendRaw(name, std::string("\x03\x00\x00\x00\x02\x01\x00", 7));  // activation cut short
  // A post of any message with any parameters, as a made-up WM_NOTIFY with
  // a pointer for lParam, is no request the channel knows.
  std::string post("\x19\x00\x00\x00\x02\x00\x00\x00\x00\x4E\x00\x00\x00", 13);
  post += std::string("\x01\x00\x00\x00\x00\x00\x00\x00\xEF\xBE\xAD\xDE\x00\x00\x00\x00", 16);
  SendRaw(name, post);
  EXPECT_EQ(activations.load(), 0);
  {
    // Two requests on one connection: the first is answered, the second
    // never read.
    int fd = RawConnect(name);
    ASSERT_GE(fd, 0);
    const std::string one("\x05\x00\x00\x00\x02\x00\x00\x00\x00", 9);
    ::send(fd, (one + one).data(), 2 * one.size(), MSG_NOSIGNAL);
    char buf[64];
    while (::recv(fd, buf, sizeof buf, 0) > 0) {
    }
    ::close(fd);
  }
  EXPECT_EQ(activations.load(), 1);
  {
    int fd = RawConnect(name);  // connects, sends half a header, leaves
    ASSERT_GE(fd, 0);
    ::send(fd, "\x01\x00", 2, MSG_NOSIGNAL);
    ::close(fd);
  }
  // A client that connects and stalls is dropped before a second instance
  // behind it gives up.
  int stalled = RawConnect(name);
  ASSERT_GE(stalled, 0);
  std::vector<std::string> titles;
  EXPECT_TRUE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, std::vector<std::string>{"Orlavine"});
  ::close(stalled);
  EXPECT_TRUE(InstanceChannel::ActivateWindow(name, 0));
  EXPECT_EQ(activations.load(), 2);
}

TEST(InstanceChannel, TheGuardLivesOnlyInADirectoryPrivateToTheUser) {
  const std::string saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string tmp = std::getenv("TMPDIR");
  const std::string fallback = tmp + "/tempiola-" + std::to_string(::getuid());
  const std::string open = tmp + "/open";
  ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(open.c_str(), 0755), 0);
  // A runtime directory others may enter is not used.
  ::setenv("XDG_RUNTIME_DIR", open.c_str(), 1);
  EXPECT_EQ(InstanceChannel::RuntimeDirectory(), fallback);
  struct stat st {};
  ASSERT_EQ(::lstat(fallback.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(InstanceChannel::RuntimeDirectory(), fallback);

  // A fallback that somebody made beforehand, open to others or a link to
  // a directory elsewhere, is refused: no guard, and the start goes on.
  for (int squat = 0; squat < 2; ++squat) {
    std::filesystem::remove_all(fallback);
    if (squat == 0) {
      ASSERT_EQ(::mkdir(fallback.c_str(), 0777), 0);
      ASSERT_EQ(::chmod(fallback.c_str(), 0777), 0);
    } else {
      ASSERT_EQ(::symlink(saved.c_str(), fallback.c_str()), 0);
    }
    EXPECT_EQ(InstanceChannel::RuntimeDirectory(), "") << squat;
    InstanceChannel guard;
    EXPECT_FALSE(guard.Create(UniqueName()));
    EXPECT_FALSE(guard.AlreadyExists());
  }
  std::filesystem::remove_all(fallback);
  ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

TEST(InstanceChannel, AHungInstanceDoesNotHangTheClient) {
  const std::string name = UniqueName();
  std::mutex mutex;
  std::condition_variable cv;
  bool release = false;
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  ASSERT_TRUE(first.Serve(
      [&] {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return release; });
        return std::vector<std::string>{"late"};
      },
      nullptr));
  std::vector<std::string> titles;
  EXPECT_FALSE(InstanceChannel::QueryTitles(name, titles));  // gives up after its time-out
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  cv.notify_all();
  EXPECT_TRUE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, std::vector<std::string>{"late"});
}

TEST(InstanceChannel, ServeNeedsTheNameAndRunsOnce) {
  InstanceChannel unbound;
  EXPECT_FALSE(unbound.Serve([] { return std::vector<std::string>{}; }, nullptr));
  const std::string name = UniqueName();
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  EXPECT_FALSE(first.Create(name));  // already holds it
  EXPECT_TRUE(first.Serve([] { return std::vector<std::string>{}; }, nullptr));
  EXPECT_FALSE(first.Serve([] { return std::vector<std::string>{}; }, nullptr));
  std::vector<std::string> titles = {"x"};
  EXPECT_TRUE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_TRUE(titles.empty());
}

}  // namespace
