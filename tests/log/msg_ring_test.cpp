#include "log/msg_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "log/log_line.h"
#include "platform/window_messages.h"

namespace {

const std::string kZhong = "\xD6\xD0";   // 中: both bytes in the lead range
const std::string kKao = "\x81\x40";     // 丂: trail byte looks like '@'

std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

// True when the text is a run of whole characters made of the given piece.
bool WholePieces(const std::string& text, const std::string& piece) {
  return text.size() % piece.size() == 0 && text == Repeat(piece, static_cast<int>(text.size() / piece.size()));
}

class MsgRingTest : public ::testing::Test {
 protected:
  void SetUp() override { MsgRingInit(ring); }
  std::string Get(unsigned char* kind = nullptr) {
    char dest[128];
    unsigned char k = 0;
    if (MsgRingGet(dest, &k, ring) != 1) return "<empty>";
    if (kind) *kind = k;
    return dest;
  }
  MsgRing ring;
};

TEST_F(MsgRingTest, NineteenPutsLoseTheFirstAndKeepEighteenInOrder) {
  for (int i = 0; i < 19; ++i) MsgRingPut(("line " + std::to_string(i)).c_str(), static_cast<unsigned char>(i), ring);
  for (int i = 1; i < 19; ++i) {
    unsigned char kind = 255;
    EXPECT_EQ(Get(&kind), "line " + std::to_string(i));
    EXPECT_EQ(kind, i);
  }
  EXPECT_EQ(Get(), "<empty>");
  // The twentieth slot is never used.
  EXPECT_EQ(ring.text[19][0], '\0');
  EXPECT_EQ(ring.kind[19], 0);
}

TEST_F(MsgRingTest, EmptyGetLeavesDestinationAndKindUntouched) {
  char dest[128];
  std::memset(dest, 'x', sizeof dest);
  unsigned char kind = 77;
  EXPECT_EQ(MsgRingGet(dest, &kind, ring), 0);
  EXPECT_EQ(kind, 77);
  for (char c : dest) ASSERT_EQ(c, 'x');

  MsgRingPut("one", 1, ring);
  EXPECT_EQ(Get(), "one");
  EXPECT_EQ(MsgRingGet(dest, &kind, ring), 0);
  EXPECT_EQ(dest[0], 'x');
}

TEST_F(MsgRingTest, PositionsWrapFromEighteenToZero) {
  // Alternate puts and gets well past the end of the slots.
  for (int i = 0; i < 60; ++i) {
    MsgRingPut(std::to_string(i).c_str(), 3, ring);
    MsgRingPut(std::to_string(i + 1000).c_str(), 4, ring);
    EXPECT_EQ(Get(), std::to_string(i));
    EXPECT_EQ(Get(), std::to_string(i + 1000));
    ASSERT_LT(ring.writePos, 19);
    ASSERT_LT(ring.readPos, 19);
  }
  EXPECT_EQ(ring.readPos, ring.writePos);
  EXPECT_EQ(ring.writePos, 120 % 19);

  // A full ring across the wrap still drops exactly the oldest line.
  for (int i = 0; i < 25; ++i) MsgRingPut(std::to_string(i).c_str(), 0, ring);
  for (int i = 7; i < 25; ++i) EXPECT_EQ(Get(), std::to_string(i));
  EXPECT_EQ(Get(), "<empty>");
}

TEST_F(MsgRingTest, LongTextIsCutOnACharacterBoundary) {
  const std::string ascii(300, 'a');
  MsgRingPut(ascii.c_str(), 1, ring);
  EXPECT_EQ(Get(), std::string(127, 'a'));

  // 64 characters = 128 bytes: the 64th would straddle the limit.
  MsgRingPut(Repeat(kZhong, 64).c_str(), 1, ring);
  std::string got = Get();
  EXPECT_EQ(got.size(), 126u);
  EXPECT_TRUE(WholePieces(got, kZhong));

  // Shifted by one ASCII byte, 63 characters fill the slot exactly.
  MsgRingPut(("a" + Repeat(kZhong, 64)).c_str(), 1, ring);
  EXPECT_EQ(Get(), "a" + Repeat(kZhong, 63));

  // Trail bytes that look like ASCII do not confuse the cut.
  MsgRingPut(Repeat(kKao, 70).c_str(), 1, ring);
  got = Get();
  EXPECT_EQ(got.size(), 126u);
  EXPECT_TRUE(WholePieces(got, kKao));
}

TEST(FormatLogLine, PrefixesTheTimeAndStaysWithin128Bytes) {
  char out[128];
  FormatLogLine(out, 9, 5, 7, "\xCD\xA3\xD6\xB9\xB7\xA2\xB2\xA8");  // 停止发波
  EXPECT_STREQ(out, "09:05:07  \xCD\xA3\xD6\xB9\xB7\xA2\xB2\xA8");

  FormatLogLine(out, -1, -1, -1, "x");
  EXPECT_STREQ(out, "-1:-1:-1  x");

  // 117 text bytes fit behind the 10-byte prefix; more are cut whole.
  FormatLogLine(out, 23, 59, 59, Repeat(kZhong, 60).c_str());
  std::string got = out;
  EXPECT_EQ(got.size(), 126u);
  EXPECT_EQ(got.substr(0, 10), "23:59:59  ");
  EXPECT_TRUE(WholePieces(got.substr(10), kZhong));

  // An absurdly wide field cannot overrun the buffer either.
  FormatLogLine(out, 2000000000, 2000000000, 2000000000, Repeat("y", 200).c_str());
  EXPECT_LE(std::strlen(out), 127u);
}

TEST_F(MsgRingTest, ConcurrentProducersLoseNothingWhileTheRingHasRoom) {
  // Producers reserve room before putting, so the ring never overflows and
  // every line must arrive exactly once, each producer's lines in order.
  constexpr int kProducers = 4;
  constexpr int kLines = 3000;
  std::atomic<int> outstanding{0};
  std::atomic<bool> done{false};
  std::vector<int> next(kProducers, 0);
  int received = 0;
  bool intact = true;

  std::thread consumer([&] {
    for (;;) {
      char dest[128];
      unsigned char kind = 0;
      if (MsgRingGet(dest, &kind, ring) == 1) {
        outstanding.fetch_sub(1);
        int p = -1, seq = -1;
        if (std::sscanf(dest, "p%d-%d", &p, &seq) != 2 || p != kind || p >= kProducers || seq != next[p]) {
          intact = false;
        } else {
          ++next[p];
        }
        ++received;
      } else if (done.load()) {
        return;
      } else {
        std::this_thread::yield();
      }
    }
  });
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      for (int i = 0; i < kLines; ++i) {
        while (outstanding.fetch_add(1) >= 18) {
          outstanding.fetch_sub(1);
          std::this_thread::yield();
        }
        char line[32];
        std::snprintf(line, sizeof line, "p%d-%d", p, i);
        MsgRingPut(line, static_cast<unsigned char>(p), ring);
      }
    });
  }
  for (auto& t : producers) t.join();
  done = true;
  consumer.join();
  EXPECT_TRUE(intact);
  EXPECT_EQ(received, kProducers * kLines);
  for (int p = 0; p < kProducers; ++p) EXPECT_EQ(next[p], kLines);
}

TEST_F(MsgRingTest, ConcurrentFloodDropsOnlyWholeOldLines) {
  // Unthrottled producers overrun the ring: lines go missing, but what
  // arrives is intact, never duplicated, and in each producer's order.
  constexpr int kProducers = 4;
  constexpr int kLines = 5000;
  std::atomic<bool> done{false};
  std::vector<int> last(kProducers, -1);
  int received = 0;
  bool intact = true;
  auto take = [&]() {
    char dest[128];
    unsigned char kind = 0;
    if (MsgRingGet(dest, &kind, ring) != 1) return false;
    int p = -1, seq = -1;
    char tail[128] = "";
    if (std::sscanf(dest, "p%d-%d-%127s", &p, &seq, tail) != 3 || p != kind || p >= kProducers || seq <= last[p] ||
        std::string(tail) != std::string(100, 'z')) {
      intact = false;
    } else {
      last[p] = seq;
    }
    ++received;
    return true;
  };
  std::thread consumer([&] {
    while (!done.load()) {
      if (!take()) std::this_thread::yield();
    }
  });
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      for (int i = 0; i < kLines; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "p%d-%d-%s", p, i, std::string(100, 'z').c_str());
        MsgRingPut(line, static_cast<unsigned char>(p), ring);
      }
    });
  }
  for (auto& t : producers) t.join();
  done = true;
  consumer.join();
  int drained = 0;
  while (take()) ++drained;
  EXPECT_TRUE(intact);
  EXPECT_LE(drained, 18);
  EXPECT_LE(received, kProducers * kLines);
  // Every producer's final line was put after everything else it sent, so
  // only lines of other producers can have pushed it out after the join;
  // the ring held the last 18 puts, and they include at least one final line.
  int finals = 0;
  for (int p = 0; p < kProducers; ++p) finals += last[p] == kLines - 1;
  EXPECT_GE(finals, 1);
}

TEST(LogLine, PutsTheLineThenPostsOneMessagePerLineWithTheRingUnlocked) {
  MsgRingInit(g_msgRing);
  std::vector<std::string> seen;
  int posts = 0;
  platform::WindowHandle h = platform::RegisterWindow([&](unsigned m, std::uintptr_t w, std::intptr_t l) {
    ++posts;
    EXPECT_EQ(m, WM_LOG_LINE);
    EXPECT_EQ(m, 1124u);
    EXPECT_EQ(w, 0u);
    EXPECT_EQ(l, 0);
    // The line is already in the ring, and the ring's lock is free again.
    ASSERT_TRUE(g_msgRing.hMutex.try_lock());
    g_msgRing.hMutex.unlock();
    char dest[128];
    unsigned char kind = 0;
    if (MsgRingGet(dest, &kind, g_msgRing) == 1) seen.push_back(std::string(dest) + "/" + std::to_string(kind));
  });
  g_hMainDlg = h;
  LogLine("first", 5);
  LogLine("second", 6);
  LogLine("third", 5);
  g_hMainDlg = 0;
  platform::UnregisterWindow(h);
  EXPECT_EQ(posts, 3);
  EXPECT_EQ(seen, (std::vector<std::string>{"first/5", "second/6", "third/5"}));

  // Without a main dialog the line still waits in the ring.
  LogLine("nobody", 7);
  char dest[128];
  unsigned char kind = 0;
  ASSERT_EQ(MsgRingGet(dest, &kind, g_msgRing), 1);
  EXPECT_STREQ(dest, "nobody");
}

}  // namespace
