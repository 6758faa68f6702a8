// Where the tests take the daemons they run as their own instances: the
// copies scripts/test_daemons.sh unpacks from Debian's packages into the
// build folder, never a chronyd or gpsd the machine has installed.
#pragma once

#include <string>

namespace testing_support {

// `relative` as "usr/sbin/gpsd".
inline std::string test_daemon(const char* relative) { return std::string(ORVANTA_DAEMONS_DIR) + "/" + relative; }

inline constexpr char kNoTestDaemons[] = "the test daemons are not unpacked (scripts/setup.sh --tests does it)";

}  // namespace testing_support
