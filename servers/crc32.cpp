#include "servers/crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeCrc32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrc32Table = MakeCrc32Table();

}  // namespace

void UpdateCrc32(const void* data, unsigned length, uint32_t& crc) {
  const auto* p = static_cast<const unsigned char*>(data);
  uint32_t reg = crc;
  for (unsigned i = 0; i < length; ++i) reg = (reg >> 8) ^ kCrc32Table[(reg ^ p[i]) & 0xFF];
  crc = reg;
}
