// The journal's date, time and speed texts as numbers, for the time and the
// speed of each point. The logger copies these fields unchecked, so any text
// may stand there: what does not convert is no time or no speed, never a
// faulty line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace track {

// "dd/mm/yyyy": seconds from 1970 to that day's start.
std::optional<int64_t> journal_day_s(std::string_view date);
// "hh:mm:ss": seconds since midnight.
std::optional<int64_t> journal_second_of_day(std::string_view time);
// "022 noeuds", "5.2 noeuds", "12. noeuds" (the unit may be missing).
std::optional<double> journal_speed_knots(std::string_view field);

}  // namespace track
