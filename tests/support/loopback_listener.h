// A TCP socket listening on a free loopback port (gpsd's stand-in); dropped,
// it leaves the port free for a server of the test's own.
#pragma once

#include "common/unique_fd.h"

#include <arpa/inet.h>
#include <string>

namespace testing_support {

struct LoopbackListener {
  LoopbackListener() {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    auto* any = reinterpret_cast<sockaddr*>(&address);
    if (bind(fd.get(), any, length) == 0 && listen(fd.get(), 4) == 0 && getsockname(fd.get(), any, &length) == 0)
      port = std::to_string(ntohs(address.sin_port));
  }
  common::UniqueFd fd{socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)};
  std::string port;  // empty when no port could be had
};

}  // namespace testing_support
