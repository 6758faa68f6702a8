// The statistics of a stretch of track as the viewer's panel writes them:
// one line per figure, its caption and its value, in French and UTF-8.
// Speeds are given in km/h, "enregistrée" (the receiver's own speeds) and
// "calculée" (distance over time) apart.
#pragma once

#include "track/statistics.h"

#include <string>
#include <utility>
#include <vector>

namespace viewer {

using StatisticsLine = std::pair<std::string, std::string>;
std::vector<StatisticsLine> statistics_lines(const track::TrackStatistics& s);

}  // namespace viewer
