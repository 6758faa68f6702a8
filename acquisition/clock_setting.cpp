#include "acquisition/clock_setting.h"

namespace acquisition {

using namespace std::chrono;
using platform::UtcInstant;

namespace {

// How long ago the sentence's first byte arrived: its age.
milliseconds age_of(platform::SystemClock& clock, Arrival arrival) {
  return round<milliseconds>(clock.monotonic_now() - arrival);
}

}  // namespace

std::optional<HeureCycle> Heure_du_cycle(std::string_view text, bool extended, const FixFields& fields,
                                         const ArrivalTimes& arrivals) {
  const size_t start = rmc_sentence_start(text, extended);
  if (!Heure_fiable(text, start)) return std::nullopt;
  const std::optional<GpsTime> gps = gps_time(fields);
  if (!gps) return std::nullopt;
  return HeureCycle{*gps, arrivals.of(start)};
}

bool Regler_horloge_pc(platform::SystemClock& clock, const GpsTime& gps, std::optional<Arrival> arrival) {
  const platform::SystemTime read = clock.now_utc();
  const std::optional<UtcInstant> now = instant_of(read);
  if (!now) return false;
  UtcInstant applied;
  if (arrival) {
    const milliseconds age = age_of(clock, *arrival);
    applied = gps_instant(gps, *now - age) + age;
  } else {
    applied = gps_instant(gps, *now) + milliseconds(read.Milliseconds);
  }
  return clock.set_utc(platform::system_time_of(applied));
}

std::optional<platform::TimeSample> Echantillon_horloge(platform::SystemClock& clock, const GpsTime& gps,
                                                        Arrival arrival) {
  const std::optional<UtcInstant> now = instant_of(clock.now_utc());
  if (!now) return std::nullopt;
  const UtcInstant local = *now - age_of(clock, arrival);
  return platform::TimeSample{local, gps_instant(gps, local) - local};
}

}  // namespace acquisition
