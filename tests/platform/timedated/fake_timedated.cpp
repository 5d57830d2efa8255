// A stand-in for the system's time service on a private bus: it owns
// org.freedesktop.timedate1, answers SetTime as told on its command line and
// writes down every call, so that tests see what a program asked for
// without any clock being moved.
//
//   fake_timedated allow|deny|ntp RECORD-FILE
//
// Prints "ready" once the name is owned. Each call adds a line to the record:
// "<usec> <relative> <interactive> <interactive-authorisation-allowed>".
#include <systemd/sd-bus.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string g_mode;
std::string g_record;

int SetTime(sd_bus_message* m, void*, sd_bus_error* error) {
  int64_t usec = 0;
  int relative = 0;
  int interactive = 0;
  int r = sd_bus_message_read(m, "xbb", &usec, &relative, &interactive);
  if (r < 0) return r;
  if (FILE* f = std::fopen(g_record.c_str(), "a")) {
    std::fprintf(f, "%lld %d %d %d\n", static_cast<long long>(usec), relative, interactive,
                 sd_bus_message_get_allow_interactive_authorization(m));
    std::fclose(f);
  }
  if (g_mode == "deny") return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "Access denied");
  if (g_mode == "ntp") {
    return sd_bus_error_set(error, "org.freedesktop.timedate1.AutomaticTimeSyncEnabled",
                            "Automatic time synchronization is enabled");
  }
  return sd_bus_reply_method_return(m, "");
}

const sd_bus_vtable kVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("SetTime", "xbb", "", SetTime, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  g_mode = argv[1];
  g_record = argv[2];
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return 1;
  if (sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/timedate1", "org.freedesktop.timedate1", kVtable,
                               nullptr) < 0 ||
      sd_bus_request_name(bus, "org.freedesktop.timedate1", 0) < 0) {
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  for (;;) {
    int r = sd_bus_process(bus, nullptr);
    if (r < 0) return 1;
    if (r == 0 && sd_bus_wait(bus, UINT64_MAX) < 0) return 1;
  }
}
