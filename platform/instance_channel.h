// Single-instance guard and the channel a second instance uses to reach the
// first: a stream socket in Linux's abstract namespace, named per user. The
// name is bound while the first instance lives and vanishes with its process,
// so a crash never leaves a stale lock. Over the socket the second instance
// can list the first one's top-level window titles and post a message to one
// of those windows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class InstanceChannel {
 public:
  using ListTitles = std::function<std::vector<std::string>()>;
  using Post = std::function<void(int index, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

  // How long a client waits for a running instance before giving up, and how
  // long the server waits for a client's request.
  static constexpr int kTimeoutMs = 2000;

  InstanceChannel() = default;
  ~InstanceChannel();  // stops serving and releases the name
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;

  // Binds the current user's socket for name. True when this object now holds
  // the name; false when it is held already (AlreadyExists) or on any other
  // failure.
  bool Create(const std::string& name);
  // True when Create found the name held by another instance.
  bool AlreadyExists() const { return alreadyExists_; }

  // Starts answering requests on a background thread (after a successful
  // Create; once). Both callbacks run on that thread, one request at a time:
  // listTitles gives the titles of this process's top-level windows, post
  // delivers a message to the window at an index of that list.
  bool Serve(ListTitles listTitles, Post post);

  // Client side, from another process (or object): the titles served under
  // name. False when nobody answers within kTimeoutMs or the answer is bad.
  static bool QueryTitles(const std::string& name, std::vector<std::string>& titles);
  // Asks the instance serving name to post a message to its window at index.
  // True when the request was accepted.
  static bool PostToWindow(const std::string& name, int index, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam);

 private:
  void Run();
  void Answer(int connection);

  int listenFd_ = -1;
  int stopFd_ = -1;  // eventfd that ends the serving thread
  bool alreadyExists_ = false;
  ListTitles listTitles_;
  Post post_;
  std::thread thread_;
};

}  // namespace platform
