// Runs tempiola-cli with the given arguments and collects its exit status
// and both output streams.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/cli_command.h"

extern char** environ;

namespace cli_test {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// Runs command (a program and its leading words) with args. `env` holds
// NAME=VALUE settings that replace or add to the test's own environment for
// this run.
inline Result RunCommand(std::vector<std::string> command, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {}) {
  char outPath[] = "/tmp/tempiola-cli-out-XXXXXX";
  char errPath[] = "/tmp/tempiola-cli-err-XXXXXX";
  int outFd = mkstemp(outPath);
  int errFd = mkstemp(errPath);
  Result r;
  if (outFd < 0 || errFd < 0) return r;

  std::vector<std::string> all = std::move(command);
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> environment = env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const std::string& own : env) replaced = replaced || entry.substr(0, entry.find('=') + 1) == own.substr(0, own.find('=') + 1);
    if (!replaced) environment.push_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  pid_t pid;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
    int wstatus = 0;
    if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
  }
  posix_spawn_file_actions_destroy(&actions);
  close(outFd);
  close(errFd);
  r.out = Slurp(outPath);
  r.err = Slurp(errPath);
  unlink(outPath);
  unlink(errPath);
  return r;
}

inline Result RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  return RunCommand(test_support::CliCommand(TEMPIOLA_CLI_PATH), args, env);
}

}  // namespace cli_test
