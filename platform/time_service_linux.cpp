#include "platform/time_service.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/text_encoding.h"

namespace platform {
namespace {

constexpr const char* kService = "org.freedesktop.timedate1";
constexpr const char* kObject = "/org/freedesktop/timedate1";
constexpr std::uint64_t kPollUsec = 40000;

std::function<void()>& WaitHook() {
  static std::function<void()> hook;
  return hook;
}

struct Call {
  bool done = false;
  bool ok = false;
  std::string reason;  // UTF-8, as the service gives it
};

int OnReply(sd_bus_message* reply, void* userdata, sd_bus_error*) {
  auto* call = static_cast<Call*>(userdata);
  call->done = true;
  if (const sd_bus_error* error = sd_bus_message_get_error(reply)) {
    call->reason = error->message ? error->message : (error->name ? error->name : "refused");
  } else {
    call->ok = true;
  }
  return 0;
}

struct BusDeleter {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageDeleter {
  void operator()(sd_bus_message* m) const { sd_bus_message_unref(m); }
};
struct SlotDeleter {
  void operator()(sd_bus_slot* s) const { sd_bus_slot_unref(s); }
};

bool Failed(std::string& reason, const std::string& utf8) {
  if (!Utf8ToGbk(utf8, reason)) reason = "?";
  return false;
}

std::string ErrnoText(const char* what, int negative) { return std::string(what) + ": " + std::strerror(-negative); }

}  // namespace

void SetTimeServiceWaitHook(std::function<void()> hook) { WaitHook() = std::move(hook); }

bool SetTimeThroughService(std::int64_t microseconds, bool relative, std::string& reason) {
  reason.clear();
  sd_bus* raw = nullptr;
  // The system bus, or the one DBUS_SYSTEM_BUS_ADDRESS names.
  int r = sd_bus_open_system(&raw);
  std::unique_ptr<sd_bus, BusDeleter> bus(raw);
  if (r < 0) return Failed(reason, ErrnoText("no system bus", r));

  sd_bus_message* rawMessage = nullptr;
  r = sd_bus_message_new_method_call(bus.get(), &rawMessage, kService, kObject, kService, "SetTime");
  std::unique_ptr<sd_bus_message, MessageDeleter> message(rawMessage);
  if (r >= 0) r = sd_bus_message_append(message.get(), "xbb", static_cast<int64_t>(microseconds), relative ? 1 : 0, 1);
  // Without this flag polkit refuses at once instead of asking for a
  // password.
  if (r >= 0) r = sd_bus_message_set_allow_interactive_authorization(message.get(), 1);
  if (r < 0) return Failed(reason, ErrnoText("cannot build the call", r));

  Call call;
  sd_bus_slot* rawSlot = nullptr;
  r = sd_bus_call_async(bus.get(), &rawSlot, message.get(), OnReply, &call,
                        static_cast<std::uint64_t>(kTimeServiceTimeoutMs) * 1000);
  std::unique_ptr<sd_bus_slot, SlotDeleter> slot(rawSlot);
  if (r < 0) return Failed(reason, ErrnoText("cannot reach the time service", r));

  // Waits in short steps so that the caller's windows keep repainting
  // while a person types the password.
  while (!call.done) {
    r = sd_bus_process(bus.get(), nullptr);
    if (r < 0) return Failed(reason, ErrnoText("the system bus failed", r));
    if (r > 0 || call.done) continue;
    r = sd_bus_wait(bus.get(), kPollUsec);
    if (r < 0 && r != -EINTR) return Failed(reason, ErrnoText("the system bus failed", r));
    if (WaitHook()) WaitHook()();
  }
  if (call.ok) return true;
  return Failed(reason, call.reason);
}

}  // namespace platform
