// query / calibrate: one exchange with an NTP server, and for calibrate the
// clock set to the local time plus the offset, as the window program does.
#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "cli/ntp_query.h"
#include "ntp/ntp_client.h"
#include "ntp/wsocket_exception.h"
#include "platform/socket_startup.h"
#include "platform/system_message.h"
#include "platform/text_encoding.h"
#include "res/strings.h"

namespace cli {
namespace {

constexpr int kExitFailed = 1;

struct Target {
  std::string host;
  int port = 0;
};

// 0 when argv names one host and a valid port; otherwise the exit status.
int ParseTarget(int argc, char** argv, int first, const char* command, Target& target, bool& helpShown) {
  const std::string usage = std::string(command) + " HOST [--port N]";
  Args args;
  if (auto done = ParseCommand(argc, argv, first, {{"--port"}, {}}, usage, "", args)) {
    helpShown = *done == 0;
    return *done;
  }
  std::string error;
  if (args.positional().size() != 1 || args.positional()[0].empty()) return Usage(usage);
  if (!PortOption(args, target.port, error)) return Fail(error);
  target.host = args.positional()[0];
  return 0;
}

}  // namespace

bool PortOption(const Args& args, int& port, std::string& error) {
  long long value = kNtpPort;
  if (auto text = args.Value("--port")) {
    if (!ParseInt(*text, value) || value < 1 || value > 65535) {
      error = "--port needs a number from 1 to 65535";
      return false;
    }
  }
  port = static_cast<int>(value);
  return true;
}

bool QueryAndPrint(NtpClient& client, const std::string& host, int port, NtpResult& result) {
  if (!platform::SocketStartup()) {
    PrintGbkError(res::kWinsockInitFailed);
    return false;
  }
  try {
    client.Query(host.c_str(), result, port);
  } catch (CWSocketException* e) {
    char reason[256];
    if (!e->GetErrorMessage(reason, sizeof reason)) std::snprintf(reason, sizeof reason, "error %d", e->m_nError);
    e->Delete();
    Report(host + ": " + platform::GbkToUtf8(reason));
    return false;
  }
  std::printf("offset %.6f delay %.6f stratum %d\n", result.offset, result.delay, result.stratum);
  std::fflush(stdout);
  return true;
}

int RunQuery(int argc, char** argv, int first) {
  Target target;
  bool helpShown = false;
  if (int status = ParseTarget(argc, argv, first, "query", target, helpShown); status != 0 || helpShown) return status;
  NtpClient client;
  NtpResult result;
  return QueryAndPrint(client, target.host, target.port, result) ? 0 : kExitFailed;
}

int RunCalibrate(int argc, char** argv, int first) {
  Target target;
  bool helpShown = false;
  if (int status = ParseTarget(argc, argv, first, "calibrate", target, helpShown); status != 0 || helpShown) {
    return status;
  }
  NtpClient client;
  NtpResult result;
  if (!QueryAndPrint(client, target.host, target.port, result)) return kExitFailed;
  // The local clock read again now, moved by the offset.
  if (client.SetSystemClock(NtpTimestamp::Now().AddSeconds(result.offset))) {
    PrintGbk(res::kClockSet);
    return 0;
  }
  const int error = errno;
  std::string reason = client.ClockError();
  if (reason.empty()) platform::SystemErrorMessage(error, reason);
  PrintGbkError(std::string(res::kClockNotSet) + " " + reason);
  return kExitFailed;
}

}  // namespace cli
