// The language the program speaks, and a text in both of its forms. The
// program speaks Chinese to a Chinese user and English to everyone else,
// chosen once at start; a process that never chooses speaks Chinese.
#pragma once

#include <atomic>

namespace res {

enum class Language : unsigned char { Chinese, English };

namespace detail {
inline std::atomic<Language> g_language{Language::Chinese};
}  // namespace detail

inline void UseLanguage(Language language) { detail::g_language.store(language, std::memory_order_relaxed); }
inline Language CurrentLanguage() { return detail::g_language.load(std::memory_order_relaxed); }

// A text with a Chinese (GBK) and an English (ASCII) form. It reads as the
// form of the language in use wherever a `const char*` is taken. It cannot
// be copied, so it can never pass through printf's `...` unconverted, and
// a table that must hold it holds its address.
class Text {
 public:
  constexpr Text(const char* chinese, const char* english) : chinese_(chinese), english_(english) {}
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  const char* In(Language language) const { return language == Language::Chinese ? chinese_ : english_; }
  operator const char*() const { return In(CurrentLanguage()); }

 private:
  const char* chinese_;
  const char* english_;
};

}  // namespace res
