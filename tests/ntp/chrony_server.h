// chronyd on loopback for real exchanges: a private configuration on a free
// high port, -x so that it never touches the clock, local stratum 8. The
// Windows build cannot start the Linux program: there a CTest fixture
// starts it so, and the port comes from TEMPIOLA_CHRONY_PORT.
#pragma once

#include <string>

class ChronyServer {
 public:
  ChronyServer();
  ~ChronyServer();
  ChronyServer(const ChronyServer&) = delete;
  ChronyServer& operator=(const ChronyServer&) = delete;

  // Empty when the server answers on 127.0.0.1; otherwise why not.
  const std::string& failure() const { return failure_; }
  int port() const { return port_; }

 private:
  // Per system: starts chronyd (or finds the port of the one started for
  // the tests), tells whether it has ended and why, and stops it.
  void Start();
  std::string Ended();
  void Stop();

  std::string dir_;
  std::string failure_;
  int port_ = 0;
  long long pid_ = -1;
};
