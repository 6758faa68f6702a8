// The time status in words (UTF-8), for the time panel and for
// `orvanta --time-report`, which show the same figures.
#pragma once

#include "acquisition/time_status.h"

#include <cstddef>
#include <string>
#include <vector>

namespace acquisition {

// The socket the README's chronyd configuration makes, suggested when the
// settings name none.
inline constexpr char kDefaultChronySocket[] = "/run/chrony.orvanta.sock";

struct TimeStatusLine {
  std::string caption;
  std::string value;
};

// One line per figure, in the order they are shown.
std::vector<TimeStatusLine> time_status_lines(const TimeStatus& status);

// chronyd's reference clock for Orvanta's samples, its offset the measured
// delay (chronyd adds it to every sample: a sentence 300 ms late needs
// "offset 0.300"); nullopt before a delay is measured.
std::optional<std::string> refclock_line(const TimeStatus& status);

// The report: the lines as "caption : value", then the refclock line or why
// there is none.
std::string time_report_text(const TimeStatus& status);

// The trusted fixes a report needs for its delay to mean something.
inline constexpr size_t kReportFixes = 10;
// 0 when the report measured enough fixes, 1 otherwise.
int time_report_exit_status(const TimeStatus& status);

}  // namespace acquisition
