#include "platform/instance_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

using platform::InstanceChannel;

std::string UniqueName() {
  static int counter = 0;
  return "tempiola-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

// A raw client, to send what a well-behaved one never would.
int RawConnect(const std::string& name) {
  const std::string path = name + "." + std::to_string(::getuid());
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path + 1, path.data(), path.size());
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
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

struct Posted {
  int index = -1;
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
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
    if (!InstanceChannel::PostToWindow(name, 1, 1246, 0, 0)) ::_exit(2);
    ::_exit(0);
  }
  ::close(ready[0]);
  std::mutex mutex;
  Posted posted;
  {
    InstanceChannel first;
    ASSERT_TRUE(first.Create(name));
    ASSERT_TRUE(first.Serve([&] { return std::vector<std::string>{"other", gbkTitle}; },
                            [&](int index, unsigned message, std::uintptr_t w, std::intptr_t l) {
                              std::lock_guard lock(mutex);
                              posted = {index, message, w, l, posted.count + 1};
                            }));
    ASSERT_EQ(::write(ready[1], "g", 1), 1);
    ::close(ready[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(posted.count, 1);
  EXPECT_EQ(posted.index, 1);
  EXPECT_EQ(posted.message, 1246u);
}

TEST(InstanceChannel, CarriesEveryArgumentAndTitleByteIntact) {
  const std::string name = UniqueName();
  std::vector<std::string> served = {"", std::string("\x81\x40\xFE\xFE\0x", 6), std::string(300, 'T')};
  std::mutex mutex;
  Posted posted;
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  ASSERT_TRUE(first.Serve([&] { return served; },
                          [&](int index, unsigned message, std::uintptr_t w, std::intptr_t l) {
                            std::lock_guard lock(mutex);
                            posted = {index, message, w, l, posted.count + 1};
                          }));
  std::vector<std::string> titles = {"stale"};
  ASSERT_TRUE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, served);

  ASSERT_TRUE(InstanceChannel::PostToWindow(name, -7, 0xFFFFFFFFu, UINTPTR_MAX - 1, INTPTR_MIN + 3));
  std::lock_guard lock(mutex);
  EXPECT_EQ(posted.count, 1);
  EXPECT_EQ(posted.index, -7);
  EXPECT_EQ(posted.message, 0xFFFFFFFFu);
  EXPECT_EQ(posted.wParam, UINTPTR_MAX - 1);
  EXPECT_EQ(posted.lParam, INTPTR_MIN + 3);
}

TEST(InstanceChannel, NobodyServingMeansNoAnswer) {
  const std::string name = UniqueName();
  std::vector<std::string> titles = {"kept"};
  EXPECT_FALSE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, std::vector<std::string>{"kept"});
  EXPECT_FALSE(InstanceChannel::PostToWindow(name, 0, 1246, 0, 0));

  // Held but not yet serving (no window yet): refused, not hung.
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  EXPECT_FALSE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_FALSE(InstanceChannel::PostToWindow(name, 0, 1246, 0, 0));
}

TEST(InstanceChannel, BadRequestsCloseOnlyTheirOwnConnection) {
  const std::string name = UniqueName();
  std::atomic<int> posts{0};
  InstanceChannel first;
  ASSERT_TRUE(first.Create(name));
  ASSERT_TRUE(first.Serve([] { return std::vector<std::string>{"Orlavine"}; },
                          [&](int, unsigned, std::uintptr_t, std::intptr_t) { posts.fetch_add(1); }));

  SendRaw(name, std::string("\xFF\xFF\xFF\xFF", 4));           // oversized length
  SendRaw(name, std::string("\x41\x00\x00\x00", 4) + std::string(65, 'A'));  // just over the limit
  SendRaw(name, std::string("\x01\x00\x00\x00\x09", 5));       // unknown request
  SendRaw(name, std::string("\x00\x00\x00\x00", 4));           // empty request
  SendRaw(name, std::string("\x02\x00\x00\x00\x01\x00", 6));   // titles request with extra byte
  SendRaw(name, std::string("\x05\x00\x00\x00\x02\x01\x00\x00\x00", 9));  // post cut short
  {
    int fd = RawConnect(name);  // connects, sends half a header, leaves
    ASSERT_GE(fd, 0);
    ::send(fd, "\x01\x00", 2, MSG_NOSIGNAL);
    ::close(fd);
  }
  EXPECT_EQ(posts.load(), 0);

  std::vector<std::string> titles;
  ASSERT_TRUE(InstanceChannel::QueryTitles(name, titles));
  EXPECT_EQ(titles, std::vector<std::string>{"Orlavine"});
  EXPECT_TRUE(InstanceChannel::PostToWindow(name, 0, 1246, 0, 0));
  EXPECT_EQ(posts.load(), 1);
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
