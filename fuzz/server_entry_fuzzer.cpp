// Entry texts and addresses from anywhere: the normaliser against a literal
// kind-by-kind removal, the parser inside an exactly sized buffer, and
// formatting followed by parsing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "servers/server_entry.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

size_t CharLength(const std::string& s, size_t at) {
  auto c = static_cast<unsigned char>(s[at]);
  return c >= 0x81 && c <= 0xFE && at + 1 < s.size() ? 2 : 1;
}

// Removes every character that is exactly `what`.
std::string RemoveCharacters(const std::string& s, std::string_view what) {
  std::string out;
  for (size_t at = 0; at < s.size();) {
    size_t length = CharLength(s, at);
    if (std::string_view(s).substr(at, length) != what) out.append(s, at, length);
    at += length;
  }
  return out;
}

std::string LiteralNormalize(std::string s) {
  for (char c = 0x01; c <= 0x1F; ++c) s = RemoveCharacters(s, std::string(1, c));
  s = RemoveCharacters(s, "\x7F");
  s = RemoveCharacters(s, " ");
  return RemoveCharacters(s, "\xA1\xA1");
}

bool EndsInLoneLeadByte(const std::string& s) {
  size_t at = 0;
  size_t last = 0;
  while (at < s.size()) {
    last = at;
    at += CharLength(s, at);
  }
  return !s.empty() && at - last == 1 && static_cast<unsigned char>(s[last]) >= 0x81 &&
         static_cast<unsigned char>(s[last]) <= 0xFE;
}

bool HasCharacter(const std::string& s, char c) {
  for (size_t at = 0; at < s.size(); at += CharLength(s, at)) {
    if (s[at] == c) return true;
  }
  return false;
}

std::unique_ptr<char[]> ExactCopy(const std::string& text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

void CheckNormalize(const std::string& text) {
  auto buffer = ExactCopy(text);
  NormalizeServerAddress(buffer.get());
  const std::string result = buffer.get();
  Check(result.size() <= text.size(), "the normaliser never grows the text");
  Check(result == LiteralNormalize(text), "one pass equals the kind-by-kind removal");
  for (size_t at = 0; at < result.size(); at += CharLength(result, at)) {
    auto c = static_cast<unsigned char>(result[at]);
    Check(c > 0x20 && c != 0x7F, "no blank or control byte starts a character");
    Check(!(c == 0xA1 && at + 1 < result.size() && static_cast<unsigned char>(result[at + 1]) == 0xA1),
          "no full-width space remains");
  }
}

void CheckParse(const std::string& text) {
  auto buffer = ExactCopy(text);
  char* begin = buffer.get();
  char* end = begin + text.size();
  char* address = nullptr;
  char* remark = nullptr;
  ParseServerEntry(begin, address, remark);
  Check(address >= begin && address <= end && remark >= begin && remark <= end, "parts lie in the text");
  const std::string a = address;
  Check(a == LiteralNormalize(a), "the address comes out normalised");
  Check(!HasCharacter(a, '['), "the address ends at the first bracket");
  Check(std::strlen(remark) <= text.size(), "the remark lies in the text");
}

void CheckRoundTrip(FuzzedDataProvider& in) {
  const size_t count = in.ConsumeIntegralInRange<size_t>(1, 200000);
  const size_t number = in.ConsumeIntegralInRange<size_t>(1, count);
  std::string typedAddress = in.ConsumeRandomLengthString(100);
  std::string typedRemark = in.ConsumeRandomLengthString(100);

  const std::string address = NormalizedServerAddress(typedAddress);
  const std::string remark = CutServerRemark(typedRemark);
  Check(address.size() <= kServerFieldMaxBytes && remark.size() <= kServerFieldMaxBytes, "fields fit 62 bytes");

  char text[kServerEntryTextSize];
  FormatServerEntry(text, number, count, address.c_str(), remark.c_str());
  const std::string entry = text;
  Check(entry.size() < kServerEntryTextSize, "the entry fits its buffer");
  const std::string prefix = "#" + std::to_string(number) + " ";
  Check(entry.compare(0, prefix.size(), prefix) == 0, "the entry starts with its number and a blank");

  char* parsedAddress = nullptr;
  char* parsedRemark = nullptr;
  ParseServerEntry(text, parsedAddress, parsedRemark);
  // Fields free of the separators come back as they went in.
  if (count < 10000 && !HasCharacter(address, '[') && !EndsInLoneLeadByte(address) && !HasCharacter(remark, ']') &&
      !EndsInLoneLeadByte(remark)) {
    Check(address == parsedAddress, "the address reads back");
    Check(remark == parsedRemark, "the remark reads back");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const std::string text = whole.substr(0, whole.find('\0'));
  CheckNormalize(text);
  CheckParse(text);
  FuzzedDataProvider in(data, size);
  CheckRoundTrip(in);
  return 0;
}
