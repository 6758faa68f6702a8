#include "platform/linux/chrony_socket.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A path no socket can have is said once, not at every 3-second cycle.
TEST(ChronySocket, APathBeyondTheSocketLimitIsSaidOnce) {
  ChronySocket chrony;
  const std::string path = "/run/" + std::string(103, 'c');  // 108 bytes
  testing::internal::CaptureStderr();
  EXPECT_FALSE(chrony.send(path, {}));
  EXPECT_FALSE(chrony.send(path, {}));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "orvanta: Chrony=" + path +
                      " : le chemin dépasse les 107 octets qu'une socket admet, aucun échantillon n'est envoyé à "
                      "chronyd\n");
}

}  // namespace
}  // namespace platform
