#include "acquisition/time_keeping.h"

namespace acquisition {

void hand_on_fix_time(platform::SystemClock& clock, platform::TimeSampleSink& sink, const std::string& socket,
                      const HeureCycle& heure, TimeWatch& watch) {
  if (!heure.arrival) return;
  const std::optional<platform::TimeSample> sample = Echantillon_horloge(clock, heure.gps, *heure.arrival);
  if (!sample) return;
  watch.fix(*heure.arrival, *sample);
  if (!socket.empty()) watch.chrony_sample(sink.send(socket, *sample));
}

ClockOutcome set_clock_from_cycle(platform::SystemClock& clock, const std::optional<HeureCycle>& heure, TimeTrust trust,
                                  bool precise, TimeWatch& watch) {
  const std::optional<platform::UtcInstant> before = instant_of(clock.now_utc());
  if (!before) return ClockOutcome::no_right;
  if (!heure) {
    watch.clock_attempt(refusal_of(trust), *before);
    return refusal_of(trust);
  }
  const bool own_date = gps_date_agrees(heure->gps, *before);
  if (!Regler_horloge_pc(clock, heure->gps, precise ? heure->arrival : std::nullopt)) {
    watch.clock_attempt(ClockOutcome::no_right, *before);
    return ClockOutcome::no_right;
  }
  const ClockOutcome outcome = own_date ? ClockOutcome::set : ClockOutcome::set_on_computer_day;
  // Dated by the clock as set, as the user reads it after.
  watch.clock_attempt(outcome, instant_of(clock.now_utc()).value_or(*before));
  return outcome;
}

}  // namespace acquisition
