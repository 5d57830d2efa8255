// Every window test of this program runs its transmitter on a scripted
// device (present, reporting no extra modes) unless the test scripts its
// own: the machine's sound output, or its absence, must not show up as a
// message box in tests that are about something else.
#include <gtest/gtest.h>

#include "tests/ui/scripted_sound.h"

namespace {

class DefaultSound : public ::testing::Environment {
 public:
  void SetUp() override {
    sound_ = std::make_unique<ui_test::ScriptedSound>();
    sound_->device.formats = 0;
  }
  void TearDown() override { sound_.reset(); }

 private:
  std::unique_ptr<ui_test::ScriptedSound> sound_;
};

[[maybe_unused]] ::testing::Environment* const kDefaultSound = ::testing::AddGlobalTestEnvironment(new DefaultSound);

}  // namespace
