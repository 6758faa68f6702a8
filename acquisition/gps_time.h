// The time a fix gives, and the sentence it comes from.
//
// The clock takes its time only from a sentence it can trust: one whose
// status is A (the receiver has a fix) and that arrived intact. Its date
// decides the day, but only within a day of the computer's own: around
// midnight UTC the time of day alone would name the wrong day, and a receiver
// whose date is wrong (after a week-number rollover) must not move the clock
// by days.
#pragma once

#include "acquisition/fix_fields.h"
#include "platform/system_clock.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace acquisition {

struct GpsTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  // As received (year with 2000 added): may name no real date.
  int day = 0;
  int month = 0;
  int year = 0;
};

// The time fields of the display; nullopt when one does not convert, which
// never happens after a complete decode.
std::optional<GpsTime> gps_time(const FixFields& fields);

// Where the sentence that the decoding reads starts in `text`: the first
// "$GPRMC,", or the one the normaliser takes with the extended reading; npos
// when there is none.
size_t rmc_sentence_start(std::string_view text, bool extended);

// Whether the clock may take its time from the RMC sentence at `start`, and
// if not why: it needs status A and a checksum that holds (nmea_sentence.h).
enum class TimeTrust { trusted, no_sentence, void_fix, bad_checksum };
TimeTrust time_trust(std::string_view text, size_t start);
inline bool Heure_fiable(std::string_view text, size_t start) { return time_trust(text, start) == TimeTrust::trusted; }

// Whether the sentence's own date is within one day of `reference`'s; when it
// is not, gps_instant takes the day from `reference`.
bool gps_date_agrees(const GpsTime& gps, platform::UtcInstant reference);

// The instant the sentence names, in whole seconds. Its own date when that is
// within one day of `reference`'s; otherwise whichever of reference's day and
// the two around it puts the time nearest to `reference`.
platform::UtcInstant gps_instant(const GpsTime& gps, platform::UtcInstant reference);

}  // namespace acquisition
