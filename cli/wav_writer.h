// A 16-bit mono PCM WAV file, written whole or not at all: the samples go
// to a temporary file beside the target, which replaces the target only
// when Finish succeeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/file.h"

namespace cli {

class WavWriter {
 public:
  explicit WavWriter(std::string path) : file_(std::move(path)) {}

  // Starts the file at the given sample rate.
  bool Open(unsigned rate);
  // Appends samples (little-endian in the file). Fails with EFBIG once the
  // data would outgrow the 32-bit sizes of the format.
  bool Write(const std::int16_t* samples, std::size_t count);
  // Fills in the sizes and puts the file in place.
  bool Finish();
  // errno value of the failure.
  int LastError() const { return error_ ? error_ : file_.LastError(); }

  // Largest data chunk the format can describe.
  static constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;
  static constexpr std::size_t kHeaderBytes = 44;

 private:
  bool WriteHeader();

  platform::ReplacingFile file_;
  unsigned rate_ = 0;
  std::uint64_t dataBytes_ = 0;
  int error_ = 0;
};

}  // namespace cli
