#include <cstdlib>
#include <string>

#include "tests/ntp/chrony_server.h"

void ChronyServer::Start() {
  const char* port = std::getenv("TEMPIOLA_CHRONY_PORT");
  port_ = port != nullptr ? std::atoi(port) : 0;
  if (port_ <= 0 || port_ > 65535) failure_ = "TEMPIOLA_CHRONY_PORT names no port (the tests' fixture starts chronyd)";
}

// The fixture's to watch and to stop.
std::string ChronyServer::Ended() { return {}; }

void ChronyServer::Stop() {}
