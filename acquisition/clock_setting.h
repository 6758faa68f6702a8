// Sets the computer's clock from the GPS time of a fix, or hands the GPS time
// to a time service as a sample.
#pragma once

#include "acquisition/arrival_times.h"
#include "acquisition/gps_time.h"
#include "platform/system_clock.h"
#include "platform/time_sample_sink.h"

#include <optional>
#include <string_view>

namespace acquisition {

// What the clock may take from a cycle: the GPS time of a sentence it can
// trust, and when that sentence's first byte arrived, if known.
struct HeureCycle {
  GpsTime gps;
  std::optional<Arrival> arrival;
};

// The clock's share of a complete decode of `text` into `fields`: nullopt
// when the sentence decoded is not one to take the time from (Heure_fiable).
std::optional<HeureCycle> Heure_du_cycle(std::string_view text, bool extended, const FixFields& fields,
                                         const ArrivalTimes& arrivals);

// Sets the clock to the time the sentence gives, on the day gps_instant
// chooses. Without `arrival` the milliseconds are those the clock has when it
// is read; with the monotonic time at which the sentence's first byte
// arrived, the time applied is the sentence's time plus the time elapsed
// since, milliseconds included. True when the system accepted the new time.
bool Regler_horloge_pc(platform::SystemClock& clock, const GpsTime& gps, std::optional<Arrival> arrival);

// The computer's time when the sentence's first byte arrived, and GPS time
// minus it. nullopt when the clock reads no real instant.
std::optional<platform::TimeSample> Echantillon_horloge(platform::SystemClock& clock, const GpsTime& gps,
                                                        Arrival arrival);

}  // namespace acquisition
