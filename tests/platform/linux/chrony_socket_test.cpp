#include "platform/linux/chrony_socket.h"

#include <gtest/gtest.h>

// A path no socket can have is said once, not at every 3-second cycle.
TEST(ChronySocket, APathBeyondTheSocketLimitIsSaidOnce) {
  platform::ChronySocket chrony;
  const std::string path = "/run/" + std::string(103, 'c');  // 108 bytes
  testing::internal::CaptureStderr();
  EXPECT_FALSE(chrony.send(path, {}));
  EXPECT_FALSE(chrony.send(path, {}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "orvanta: Chrony=" + path +
                " : le chemin dépasse les 107 octets qu'une socket admet, aucun échantillon "
                "n'est envoyé à chronyd\n");
}
