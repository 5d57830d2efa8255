// One NTP exchange as the query command makes it, for the commands that
// need a server's time.
#pragma once

#include <string>

#include "cli/cli.h"
#include "ntp/ntp_client.h"
#include "ntp/ntp_result.h"

namespace cli {

// Prints "offset ... delay ... stratum ..." on stdout, or the reason on
// stderr; false on failure.
bool QueryAndPrint(NtpClient& client, const std::string& host, int port, NtpResult& result);

// Reads --port (default 123); false with a one-line reason.
bool PortOption(const Args& args, int& port, std::string& error);

}  // namespace cli
