// Dates of receivers caught by the GPS week-number rollover. GPS counts weeks
// in ten bits, so every 1024 weeks (about 19.6 years: August 1999, April
// 2019) the count starts over, and a receiver whose firmware does not know
// the epoch it lives in reports dates 1024 or 2048 weeks in the past, with a
// right time of day. Such a date is mended for the display and the journal;
// any other date far from the computer's is kept as the receiver gave it (the
// clock's own date rule keeps it away from the clock).
#pragma once

#include "acquisition/fix_fields.h"

#include <chrono>

namespace acquisition {

// When the date of `fields` lies 1024 or 2048 weeks before `computer_date`,
// within a day, moves it forward by those weeks and returns true. The
// receiver's two-digit year may stand for 19yy as well as the 20yy the
// decoder wrote: a date 2048 weeks back lies in the 1980s. Otherwise, or when
// the date fields hold no date, leaves them as they are.
bool mend_week_rollover(FixFields& fields, std::chrono::sys_days computer_date);

}  // namespace acquisition
