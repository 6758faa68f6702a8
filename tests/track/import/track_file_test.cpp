#include "track/import/track_file.h"

#include <gtest/gtest.h>

TEST(TrackFile, Placeholder) { EXPECT_TRUE(track::sniff_track_format("")); }
