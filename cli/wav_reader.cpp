#include "cli/wav_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/file.h"

namespace cli {

namespace {

constexpr unsigned kMinRate = 4000;
constexpr unsigned kMaxRate = 192000;
constexpr unsigned kPcm = 1, kFloat = 3, kExtensible = 0xFFFE;

std::uint32_t Get16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t Get32(const unsigned char* p) {
  return Get16(p) | (static_cast<std::uint32_t>(Get16(p + 2)) << 16);
}

float Sample(const unsigned char* p, unsigned format, unsigned bits) {
  if (format == kFloat) {
    if (bits == 32) {
      const std::uint32_t v = Get32(p);
      float f;
      std::memcpy(&f, &v, sizeof f);
      return f;
    }
    const std::uint64_t v = Get32(p) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32);
    double d;
    std::memcpy(&d, &v, sizeof d);
    return static_cast<float>(d);
  }
  switch (bits) {
    case 8: return (static_cast<int>(p[0]) - 128) / 128.0F;
    case 16: return static_cast<std::int16_t>(Get16(p)) / 32768.0F;
    case 24: {
      std::int32_t v = static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
      if (v & 0x800000) v -= 0x1000000;
      return static_cast<float>(v) / 8388608.0F;
    }
    default: return static_cast<float>(static_cast<std::int32_t>(Get32(p)) / 2147483648.0);
  }
}

}  // namespace

bool ParseWav(const unsigned char* bytes, std::size_t size, WavSound& sound, std::string& error) {
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    error = "not a WAV file (no RIFF/WAVE header)";
    return false;
  }
  unsigned format = 0, channels = 0, bits = 0, blockAlign = 0;
  bool haveFormat = false;
  std::size_t at = 12;
  while (at + 8 <= size) {
    const unsigned char* chunk = bytes + at;
    const std::uint32_t length = Get32(chunk + 4);
    const std::size_t body = at + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16 || body + 16 > size) {
        error = "the WAV file's format chunk is cut short";
        return false;
      }
      format = Get16(bytes + body);
      channels = Get16(bytes + body + 2);
      sound.rate = Get32(bytes + body + 4);
      blockAlign = Get16(bytes + body + 12);
      bits = Get16(bytes + body + 14);
      if (format == kExtensible) {
        if (length < 40 || body + 40 > size) {
          error = "the WAV file's extensible format chunk is cut short";
          return false;
        }
        format = Get16(bytes + body + 24);  // the sub-format's first two bytes
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) {
        error = "the WAV file has its data before its format";
        return false;
      }
      const bool pcm = format == kPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
      const bool floats = format == kFloat && (bits == 32 || bits == 64);
      if (!pcm && !floats) {
        error = "unsupported WAV format " + std::to_string(format) + " with " + std::to_string(bits) +
                " bits (PCM of 8, 16, 24 or 32 bits, or floats of 32 or 64)";
        return false;
      }
      if (channels == 0 || blockAlign != channels * (bits / 8)) {
        error = "the WAV file's channels and block size do not agree";
        return false;
      }
      if (sound.rate < kMinRate || sound.rate > kMaxRate) {
        error = "unsupported sample rate " + std::to_string(sound.rate) + " Hz (4000 to 192000)";
        return false;
      }
      const std::size_t available = size - body;
      const std::size_t dataBytes = length <= available ? length : available;
      const std::size_t frames = dataBytes / blockAlign;
      sound.samples.resize(frames);
      for (std::size_t i = 0; i < frames; ++i) sound.samples[i] = Sample(bytes + body + i * blockAlign, format, bits);
      return true;
    }
    at = body + length + (length & 1);
  }
  error = haveFormat ? "the WAV file has no data" : "the WAV file has no format chunk";
  return false;
}

bool ReadInput(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
  bytes.clear();
  if (path == "-") {
    unsigned char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    if (std::ferror(stdin)) {
      error = "cannot read standard input";
      return false;
    }
    return true;
  }
  platform::File file;
  if (!file.Open(path, platform::File::Mode::kReadExisting)) {
    error = "cannot read " + path + ": " + platform::ErrorText(file.LastError());
    return false;
  }
  const long long size = file.Size();
  if (size < 0) {
    error = "cannot read " + path + ": " + platform::ErrorText(file.LastError());
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  const long long got = file.Read(bytes.data(), bytes.size());
  if (got < 0) {
    error = "cannot read " + path + ": " + platform::ErrorText(file.LastError());
    return false;
  }
  bytes.resize(static_cast<std::size_t>(got));
  return true;
}

}  // namespace cli
