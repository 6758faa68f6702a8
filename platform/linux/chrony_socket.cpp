#include "platform/linux/chrony_socket.h"

#include "common/unique_fd.h"

#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>

namespace platform {

namespace {

// The message chronyd's SOCK driver reads, as its documentation lays it out,
// in the native layout of the machine both programs run on.
struct SockSample {
  timeval tv;     // when the sample was taken, by the system clock
  double offset;  // true time minus system time, in seconds
  int pulse;      // 0: a whole time, not a bare pulse
  int leap;       // 0: no leap second announced
  int pad;
  int magic;
};
constexpr int kSockMagic = 0x534f434b;  // "SOCK"

}  // namespace

bool ChronySocket::send(const std::string& socket_path, const TimeSample& sample) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socket_path.empty()) return false;
  if (socket_path.size() >= sizeof address.sun_path) {
    if (too_long_ != socket_path) {
      too_long_ = socket_path;
      std::fprintf(stderr,
                   "orvanta: Chrony=%s : le chemin dépasse les %zu octets qu'une socket admet, aucun échantillon "
                   "n'est envoyé à chronyd\n",
                   socket_path.c_str(), sizeof address.sun_path - 1);
    }
    return false;
  }
  std::memcpy(address.sun_path, socket_path.data(), socket_path.size());

  using namespace std::chrono;
  const microseconds since_epoch = sample.local.time_since_epoch();
  SockSample message{};
  message.tv.tv_sec = static_cast<time_t>(floor<seconds>(since_epoch).count());
  message.tv.tv_usec = static_cast<suseconds_t>((since_epoch - floor<seconds>(since_epoch)).count());
  message.offset = duration<double>(sample.offset).count();
  message.magic = kSockMagic;

  const common::UniqueFd fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return false;
  // A chronyd that has stopped reading must not hold up the acquisition.
  return sendto(fd.get(), &message, sizeof message, MSG_DONTWAIT | MSG_NOSIGNAL,
                reinterpret_cast<const sockaddr*>(&address), sizeof address) == static_cast<ssize_t>(sizeof message);
}

}  // namespace platform
