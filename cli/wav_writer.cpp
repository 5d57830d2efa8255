#include "cli/wav_writer.h"

#include <bit>
#include <algorithm>
#include <cstring>

#include "platform/system_error.h"

namespace cli {
namespace {

void Put16(unsigned char*& p, std::uint32_t v) {
  *p++ = static_cast<unsigned char>(v);
  *p++ = static_cast<unsigned char>(v >> 8);
}

void Put32(unsigned char*& p, std::uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p, v >> 16);
}

void PutTag(unsigned char*& p, const char (&tag)[5]) {
  std::memcpy(p, tag, 4);
  p += 4;
}

}  // namespace

bool WavWriter::Open(unsigned rate) {
  rate_ = rate;
  dataBytes_ = 0;
  return file_.Open() && WriteHeader();
}

bool WavWriter::WriteHeader() {
  unsigned char header[kHeaderBytes];
  unsigned char* p = header;
  const auto data = static_cast<std::uint32_t>(dataBytes_);
  PutTag(p, "RIFF");
  Put32(p, 36 + data);
  PutTag(p, "WAVE");
  PutTag(p, "fmt ");
  Put32(p, 16);
  Put16(p, 1);  // PCM
  Put16(p, 1);  // mono
  Put32(p, rate_);
  Put32(p, 2 * rate_);
  Put16(p, 2);   // bytes per sample frame
  Put16(p, 16);  // bits per sample
  PutTag(p, "data");
  Put32(p, data);
  return file_.file().Seek(0) && file_.file().Write(header, sizeof header);
}

bool WavWriter::Write(const std::int16_t* samples, std::size_t count) {
  if (count > (kMaxDataBytes - dataBytes_) / 2) {
    error_ = platform::kErrorFileTooLarge;
    return false;
  }
  if constexpr (std::endian::native == std::endian::little) {
    if (!file_.file().Write(samples, count * 2)) return false;
  } else {
    unsigned char chunk[4096];
    for (std::size_t done = 0; done < count;) {
      std::size_t n = std::min(count - done, sizeof chunk / 2);
      unsigned char* p = chunk;
      for (std::size_t i = 0; i < n; ++i) Put16(p, static_cast<std::uint16_t>(samples[done + i]));
      if (!file_.file().Write(chunk, n * 2)) return false;
      done += n;
    }
  }
  dataBytes_ += count * 2;
  return true;
}

bool WavWriter::Finish() { return WriteHeader() && file_.Commit(); }

}  // namespace cli
