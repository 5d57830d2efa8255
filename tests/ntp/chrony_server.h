// chronyd on loopback for real exchanges: a private configuration on a free
// high port, -x so that it never touches the clock, local stratum 8.
#pragma once

#include <sys/types.h>

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
  std::string dir_;
  std::string failure_;
  int port_ = 0;
  pid_t pid_ = -1;
};
