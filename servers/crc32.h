// The CRC-32 of HDLC, Ethernet, ZIP and PNG: reflected polynomial 0xEDB88320.
#pragma once

#include <cstdint>

// Feeds length bytes into the register. Neither presets nor complements it,
// so a whole CRC is ~UpdateCrc32(..., reg = 0xFFFFFFFF) over all the parts.
void UpdateCrc32(const void* data, unsigned length, uint32_t& crc);
