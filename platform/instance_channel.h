// Single-instance guard and the channel a second instance uses to reach the
// first. Both live in the user's runtime directory, which only the user can
// enter: the guard is a lock on a file there, which the kernel drops when
// the process ends (so a crash never leaves a stale guard, and of two starts
// at once only one wins); beside it a stream socket over which a second
// instance lists the first one's top-level window titles and asks it to
// bring one of them forward. Nothing else travels over the channel.
#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class InstanceChannel {
 public:
  using ListTitles = std::function<std::vector<std::string>()>;
  using Activate = std::function<void(int index)>;

  // How long a client waits for a running instance before giving up.
  static constexpr int kTimeoutMs = 2000;
  // How long the server waits for a client's request: a well-behaved client
  // sends it right after connecting, so a stalled one is dropped long before
  // a second instance behind it gives up.
  static constexpr int kRequestTimeoutMs = 500;

  InstanceChannel() = default;
  ~InstanceChannel();  // stops serving and releases the guard
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;

  // Takes the current user's guard for name. True when this object now holds
  // it; false when another process of the user holds it (AlreadyExists) or
  // on any other failure (no usable runtime directory, for instance).
  bool Create(const std::string& name);
  // True when Create found the guard held by another instance.
  bool AlreadyExists() const { return alreadyExists_; }

  // Starts answering requests on a background thread (after a successful
  // Create; once). Both callbacks run on that thread, one request at a time:
  // listTitles gives the titles of this process's top-level windows,
  // activate brings forward the window at an index of that list.
  bool Serve(ListTitles listTitles, Activate activate);

  // Client side, from another process (or object): the titles served under
  // name. False when nobody answers within kTimeoutMs or the answer is bad.
  static bool QueryTitles(const std::string& name, std::vector<std::string>& titles);
  // Asks the instance serving name to bring its window at index forward.
  // True when the request was accepted.
  static bool ActivateWindow(const std::string& name, int index);

  // The directory that holds the guards: $XDG_RUNTIME_DIR when it is the
  // user's own private directory; otherwise $TMPDIR (or /tmp) followed by
  // "tempiola-<uid>", made mode 0700 and used only while it is a real
  // directory of the user's own that nobody else may enter. Empty when
  // neither is usable.
  static std::string RuntimeDirectory();

 private:
  void Run();
  void Answer(int connection);

  int lockFd_ = -1;
  int listenFd_ = -1;
  int stopFd_ = -1;  // eventfd that ends the serving thread
  std::string socketPath_;  // unlinked with the guard
  bool alreadyExists_ = false;
  ListTitles listTitles_;
  Activate activate_;
  std::thread thread_;
};

}  // namespace platform
