// Host names resolved on a thread of their own. getaddrinfo cannot be given
// a time limit, and a name server that never answers keeps it about ten
// seconds per attempt: an open held that long would hold the program's next
// attempts and its close (which waits for an open under way). The caller
// waits a short while (a name in /etc/hosts or in a cache answers within
// it); a lookup still under way then fails this attempt with ETIMEDOUT and
// goes on alone, at most one per name, and the next attempt takes its answer.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace serial {

// One address a host name resolved to, with what its socket needs.
struct Endpoint {
  int family = 0;
  int socktype = 0;
  int protocol = 0;
  sockaddr_storage address{};
  socklen_t length = 0;
};

class NameResolver {
 public:
  // Resolves `host` and the numeric `port` to stream endpoints; returns 0 or an
  // errno value (ENOENT for a name that resolves to nothing). May take long.
  using Lookup = std::function<int(const std::string& host, const std::string& port, std::vector<Endpoint>& found)>;

  explicit NameResolver(Lookup lookup);
  // The program's own, asking the system's resolver. A resolver may go while
  // its lookups run on: they hold nothing of it.
  static NameResolver& system();

  // Returns 0 with the endpoints, ETIMEDOUT when the lookup has not ended
  // within `wait`, or the lookup's error. A lookup's answer serves one
  // attempt: the next one asks again, so a name that moves is followed.
  int resolve(const std::string& host, const std::string& port, std::chrono::milliseconds wait,
              std::vector<Endpoint>& found);

 private:
  struct Pending;

  Lookup lookup_;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Pending>> pending_;  // by "host port"
};

// The system resolver's answer (getaddrinfo). With AI_NUMERICHOST in
// `flags`, only an address written out is taken (ENOENT for a name): that
// asks no name server, and needs no thread.
int lookup_stream_endpoints(const std::string& host, const std::string& port, std::vector<Endpoint>& found,
                            int flags = 0);

}  // namespace serial
