#include "ui/msg_ring.h"

#include <cstdio>
#include <cstring>

#include "ui/gbk_cut.h"

MsgRing g_msgRing{};
HWND g_hMainDlg = 0;

namespace {

constexpr unsigned char kWrap = kMsgRingSlots - 1;  // positions run 0..18

unsigned char Next(unsigned char pos) { return static_cast<unsigned char>(pos + 1 == kWrap ? 0 : pos + 1); }

}  // namespace

void MsgRingInit(MsgRing& ring) {
  std::lock_guard lock(ring.hMutex);
  ring.readPos = 0;
  ring.writePos = 0;
  std::memset(ring.text, 0, sizeof ring.text);
  std::memset(ring.kind, 0, sizeof ring.kind);
}

void MsgRingPut(const char* text, unsigned char kind, MsgRing& ring) {
  const std::size_t len = GbkCutLength(text, kMsgRingTextSize - 1);
  std::lock_guard lock(ring.hMutex);
  char* slot = ring.text[ring.writePos];
  std::memcpy(slot, text, len);
  slot[len] = '\0';
  ring.kind[ring.writePos] = kind;
  ring.writePos = Next(ring.writePos);
  if (ring.writePos == ring.readPos) ring.readPos = Next(ring.readPos);  // full: drop the oldest
}

int MsgRingGet(char* dest, unsigned char* kind, MsgRing& ring) {
  std::lock_guard lock(ring.hMutex);
  if (ring.readPos == ring.writePos) return 0;
  const char* slot = ring.text[ring.readPos];
  std::memcpy(dest, slot, strnlen(slot, kMsgRingTextSize - 1) + 1);
  dest[kMsgRingTextSize - 1] = '\0';
  *kind = ring.kind[ring.readPos];
  ring.readPos = Next(ring.readPos);
  return 1;
}

void LogLine(const char* text, unsigned char kind) {
  MsgRingPut(text, kind, g_msgRing);
  PostMessage(g_hMainDlg, WM_LOG_LINE, 0, 0);
}

void FormatLogLine(char out[128], int hour, int minute, int second, const char* text) {
  int prefix = std::snprintf(out, kMsgRingTextSize, "%02d:%02d:%02d  ", hour, minute, second);
  std::size_t used = prefix < 0 ? 0 : static_cast<std::size_t>(prefix);
  if (used > kMsgRingTextSize - 1) used = kMsgRingTextSize - 1;
  const std::size_t len = GbkCutLength(text, kMsgRingTextSize - 1 - used);
  std::memcpy(out + used, text, len);
  out[used + len] = '\0';
}
