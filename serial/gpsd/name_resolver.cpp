#include "serial/gpsd/name_resolver.h"

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <netdb.h>
#include <system_error>
#include <thread>

namespace serial {

// A lookup's state, shared with its thread, which may outlive the resolver.
struct NameResolver::Pending {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  int error = 0;
  std::vector<Endpoint> found;
};

NameResolver::NameResolver(Lookup lookup) : lookup_(std::move(lookup)) {}

NameResolver& NameResolver::system() {
  static NameResolver resolver([](const std::string& host, const std::string& port, std::vector<Endpoint>& found) {
    return lookup_stream_endpoints(host, port, found);
  });
  return resolver;
}

int NameResolver::resolve(const std::string& host, const std::string& port, std::chrono::milliseconds wait,
                          std::vector<Endpoint>& found) {
  const std::string key = host + " " + port;
  std::shared_ptr<Pending> pending;
  {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Pending>& slot = pending_[key];
    if (!slot) {
      auto started = std::make_shared<Pending>();
      try {
        std::thread([lookup = lookup_, started, host, port] {
          std::vector<Endpoint> endpoints;
          const int error = lookup(host, port, endpoints);
          std::lock_guard done_lock(started->mutex);
          started->error = error;
          started->found = std::move(endpoints);
          started->done = true;
          started->ended.notify_all();
        }).detach();
      } catch (const std::system_error& e) {
        pending_.erase(key);
        return e.code().value();
      }
      slot = started;
    }
    pending = slot;
  }
  {
    std::unique_lock lock(pending->mutex);
    if (!pending->ended.wait_for(lock, wait, [&] { return pending->done; })) return ETIMEDOUT;
    found = pending->found;
  }
  std::lock_guard lock(mutex_);
  if (const auto it = pending_.find(key); it != pending_.end() && it->second == pending) pending_.erase(it);
  return pending->error;
}

int lookup_stream_endpoints(const std::string& host, const std::string& port, std::vector<Endpoint>& found, int flags) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV | flags;
  addrinfo* list = nullptr;
  switch (::getaddrinfo(host.c_str(), port.c_str(), &hints, &list)) {
    case 0:
      break;
    case EAI_SYSTEM:
      return errno;
    case EAI_MEMORY:
      return ENOMEM;
    case EAI_AGAIN:
      return EAGAIN;
    default:
      return ENOENT;
  }
  for (const addrinfo* a = list; a; a = a->ai_next) {
    Endpoint e;
    e.family = a->ai_family;
    e.socktype = a->ai_socktype;
    e.protocol = a->ai_protocol;
    e.length = a->ai_addrlen;
    std::memcpy(&e.address, a->ai_addr, a->ai_addrlen);
    found.push_back(e);
  }
  ::freeaddrinfo(list);
  return 0;
}

}  // namespace serial
