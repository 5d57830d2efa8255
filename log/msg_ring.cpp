#include "log/msg_ring.h"

#include <cstring>

#include "afx/gbk.h"

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
  std::lock_guard lock(ring.hMutex);
  GbkCopyCut(text, ring.text[ring.writePos], kMsgRingTextSize);
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
