#include "tests/ntp/chrony_server.h"

#include <chrono>
#include <thread>

#include "ntp/ntp_client.h"
#include "ntp/wsocket_exception.h"

ChronyServer::ChronyServer() {
  Start();
  if (!failure_.empty()) return;
  // Ready when it answers as a synchronised server: generous, for a busy
  // machine (and under Wine a query before it listens waits out 5 s).
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  int lastCode = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    failure_ = Ended();
    if (!failure_.empty()) return;
    NtpClient client;
    NtpResult result;
    try {
      client.Query("127.0.0.1", result, port_);
      return;
    } catch (CWSocketException* e) {
      lastCode = e->m_nError;
      e->Delete();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  failure_ = "chronyd did not answer, last error " + std::to_string(lastCode);
}

ChronyServer::~ChronyServer() { Stop(); }
