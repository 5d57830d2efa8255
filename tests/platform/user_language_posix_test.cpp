// The user's language on Linux: the first of LC_ALL, LC_MESSAGES and LANG
// that is set and not empty decides, installed locale or not.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/user_language.h"

namespace {

// Sets the three for one case and puts the test's own back afterwards.
class LocaleEnvironment {
 public:
  LocaleEnvironment() {
    for (int i = 0; i < 3; ++i) {
      const char* value = std::getenv(kNames[i]);
      saved_[i] = value ? std::optional<std::string>(value) : std::nullopt;
    }
  }
  ~LocaleEnvironment() {
    for (int i = 0; i < 3; ++i) Set(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
  }
  void Use(const char* all, const char* messages, const char* lang) {
    Set("LC_ALL", all);
    Set("LC_MESSAGES", messages);
    Set("LANG", lang);
  }

 private:
  static void Set(const char* name, const char* value) {
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::optional<std::string> saved_[3];
};

TEST(UserLanguage, TheFirstSetOfLcAllLcMessagesAndLangDecides) {
  struct Case {
    const char *all, *messages, *lang;
    bool chinese;
  } const cases[] = {
      {nullptr, nullptr, "zh_CN.UTF-8", true},
      {nullptr, nullptr, "zh_TW.Big5", true},
      {nullptr, nullptr, "zh_HK", true},           // not installed here
      {nullptr, nullptr, "en_US.UTF-8", false},
      {nullptr, nullptr, nullptr, false},          // nothing set: the C locale
      {"C.UTF-8", "zh_CN.UTF-8", "zh_CN.UTF-8", false},
      {"zh_CN.GBK", "en_GB.UTF-8", "C", true},
      {"", "zh_CN.UTF-8", "C.UTF-8", true},        // an empty one is passed over
      {"", "", "zh_CN.UTF-8", true},
      {nullptr, "de_DE.UTF-8", "zh_CN.UTF-8", false},
      {nullptr, nullptr, "C.zh", false},           // only the start counts
  };
  LocaleEnvironment environment;
  for (const Case& c : cases) {
    environment.Use(c.all, c.messages, c.lang);
    EXPECT_EQ(platform::UserReadsChinese(), c.chinese)
        << (c.all ? c.all : "-") << " / " << (c.messages ? c.messages : "-") << " / " << (c.lang ? c.lang : "-");
  }
}

}  // namespace
