#include "serial/gpsd/gpsd_connection.h"

#include "serial/gpsd/name_resolver.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <vector>

namespace serial {
namespace {

using Clock = std::chrono::steady_clock;

// How long a connection waits for its host name: a name in /etc/hosts, or
// one the name server has cached, answers well within it; a slower one is
// taken by a later attempt (name_resolver.h), so the window never waits on a
// name server.
constexpr std::chrono::milliseconds kLongestResolutionWait{50};

int milliseconds_left(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on the socket until the deadline; 0, ETIMEDOUT or an
// errno value.
int wait_for(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int ready = ::poll(&p, 1, milliseconds_left(deadline));
    if (ready > 0) return 0;
    if (ready == 0) return ETIMEDOUT;
    if (errno != EINTR) return errno;
  }
}

int connect_one(const Endpoint& candidate, Clock::time_point deadline, common::UniqueFd& socket) {
  socket.reset(::socket(candidate.family, candidate.socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, candidate.protocol));
  if (!socket) return errno;
  if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&candidate.address), candidate.length) == 0) return 0;
  if (errno != EINPROGRESS) return errno;
  if (int error = wait_for(socket.get(), POLLOUT, deadline)) return error;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

// Probes an idle connection after 10 s of silence, every 5 s, and gives up
// after 3 unanswered probes. Best effort: a socket without keepalive still
// works, it only notices a vanished peer later.
void keep_alive(int fd) {
  const int on = 1, idle = 10, interval = 5, count = 3;
  ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

}  // namespace

int connect_gpsd(const GpsdAddress& address, std::chrono::milliseconds timeout, common::UniqueFd& socket) {
  const Clock::time_point deadline = Clock::now() + timeout;
  std::vector<Endpoint> endpoints;
  if (lookup_stream_endpoints(address.host, address.port, endpoints, AI_NUMERICHOST) != 0) {
    if (int error = NameResolver::system().resolve(address.host, address.port,
                                                   std::min(timeout, kLongestResolutionWait), endpoints))
      return error;
  }
  int error = ENOENT;
  for (const Endpoint& candidate : endpoints) {
    error = connect_one(candidate, deadline, socket);
    if (error == 0) {
      keep_alive(socket.get());
      return 0;
    }
    socket.reset();
  }
  return error;
}

int watch_nmea(int socket) {
  constexpr std::string_view kRequest = "?WATCH={\"enable\":true,\"nmea\":true}\n";
  // The socket's buffer is empty: the request goes whole or not at all.
  const ssize_t sent = ::send(socket, kRequest.data(), kRequest.size(), MSG_NOSIGNAL);
  if (sent < 0) return errno;
  return static_cast<size_t>(sent) == kRequest.size() ? 0 : EIO;
}

bool gpsd_answers(const GpsdAddress& address, std::chrono::milliseconds budget) {
  constexpr std::string_view kGreeting = "{\"class\":\"VERSION\"";
  const Clock::time_point deadline = Clock::now() + budget;
  common::UniqueFd socket;
  if (connect_gpsd(address, budget, socket) != 0) return false;
  char greeting[kGreeting.size()];
  size_t got = 0;
  while (got < sizeof greeting) {
    if (wait_for(socket.get(), POLLIN, deadline) != 0) return false;
    const ssize_t n = ::recv(socket.get(), greeting + got, sizeof greeting - got, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return false;
    if (n > 0) got += static_cast<size_t>(n);
  }
  return std::string_view(greeting, got) == kGreeting;
}

}  // namespace serial
