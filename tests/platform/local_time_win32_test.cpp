// Windows' runtime reads TZ only in its own form and misreads any other:
// such a value is ignored, and local time is the system's time zone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/local_time.h"
#include "platform/time_zone.h"

namespace {

using platform::ZoneVariable;

// nullptr removes TZ.
void UseZone(const char* tz) {
  ::_putenv_s("TZ", tz == nullptr ? "" : tz);
  ::_tzset();
}

struct LocalTimeZone : ::testing::Test {
  ~LocalTimeZone() override { UseZone(nullptr); }
};

TEST_F(LocalTimeZone, OnlyTheRuntimesOwnFormCounts) {
  struct Case {
    const char* tz;
    ZoneVariable taken;
  } cases[] = {
      {nullptr, ZoneVariable::Unset},
      {"JST-9", ZoneVariable::Read},
      {"EST5EDT", ZoneVariable::Read},
      {"UTC0", ZoneVariable::Read},
      {"cst+8", ZoneVariable::Read},
      {"IST-5:30", ZoneVariable::Read},
      {"NPT-5:45:00", ZoneVariable::Read},
      {"CET-1CEST", ZoneVariable::Read},
      {"Asia/Tokyo", ZoneVariable::Ignored},
      {"Asia/Shanghai", ZoneVariable::Ignored},
      {"UTC", ZoneVariable::Ignored},  // without hours the runtime takes any name for UTC
      {"CET-1CEST,M3.5.0,M10.5.0/3", ZoneVariable::Ignored},
      {":Europe/Berlin", ZoneVariable::Ignored},
      {"JST-123", ZoneVariable::Ignored},
      {"JST-9:", ZoneVariable::Ignored},
      {"JST-9:30:15:00", ZoneVariable::Ignored},
      {"JST-9JD", ZoneVariable::Ignored},
      {"JST-9JDT1", ZoneVariable::Ignored},
      {"JS-9", ZoneVariable::Ignored},
  };
  for (const Case& c : cases) {
    UseZone(c.tz);
    EXPECT_EQ(platform::TimeZoneVariable(), c.taken) << (c.tz == nullptr ? "(unset)" : c.tz);
  }
}

// Whatever zone the system has (under Wine the host's), an unreadable TZ
// changes no conversion either way, and one in the runtime's form does.
TEST_F(LocalTimeZone, AnIgnoredValueConvertsAsTheSystemsZone) {
  const platform::Time64 instants[] = {0, 1483203661, 1774746000, 1793494800, 32535215999};
  struct Fields {
    platform::CivilTime local;
    platform::Time64 built = -1;
  };
  const auto convert = [](platform::Time64 t) {
    Fields f;
    f.local = platform::ToLocalTime(t);
    EXPECT_TRUE(platform::BuildLocalTime(f.local.year, f.local.month, f.local.day, f.local.hour, f.local.minute,
                                         f.local.second, f.built))
        << t;
    return f;
  };
  for (platform::Time64 t : instants) {
    UseZone(nullptr);
    const Fields system = convert(t);
    EXPECT_EQ(system.built, t);
    for (const char* ignored : {"Asia/Tokyo", "America/New_York", "UTC"}) {
      UseZone(ignored);
      const Fields f = convert(t);
      EXPECT_EQ(f.local.year, system.local.year) << ignored << " " << t;
      EXPECT_EQ(f.local.day, system.local.day) << ignored << " " << t;
      EXPECT_EQ(f.local.weekday, system.local.weekday) << ignored << " " << t;
      EXPECT_EQ(f.local.hour, system.local.hour) << ignored << " " << t;
      EXPECT_EQ(f.local.minute, system.local.minute) << ignored << " " << t;
      EXPECT_EQ(f.built, t) << ignored;
    }
    // The runtime's own range ends with its local year 3000.
    if (t < 32535215999 - 9 * 3600) {
      UseZone("JST-9");
      EXPECT_EQ(convert(t).built, t);
      EXPECT_EQ(platform::ToLocalTime(t).hour, (t / 3600 + 9) % 24) << t;
    }
  }
}

}  // namespace
