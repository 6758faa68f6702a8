#include "acquisition/time_watch.h"

namespace acquisition {

ClockOutcome refusal_of(TimeTrust trust) {
  return trust == TimeTrust::bad_checksum ? ClockOutcome::bad_checksum : ClockOutcome::void_fix;
}

void TimeWatch::fix(Arrival arrival, const platform::TimeSample& sample) {
  delay_.add(arrival, sample);
  gps_time_ = sample.local + sample.offset;
  difference_ = -sample.offset;
}

void TimeWatch::clock_attempt(ClockOutcome outcome, platform::UtcInstant at) {
  (clock_was_set(outcome) ? last_set_ : last_refusal_) = ClockAttempt{outcome, at};
}

void TimeWatch::chrony_sample(bool accepted) {
  ++chrony_.sent;
  if (accepted) ++chrony_.accepted;
  chrony_.reachable = accepted;
}

void TimeWatch::port_closed() { delay_.clear(); }

TimeStatus TimeWatch::status(platform::UtcInstant now, std::optional<platform::ClockSync> sync,
                             const std::string& chrony_socket) const {
  TimeStatus s;
  s.gps_time = gps_time_;
  s.difference = difference_;
  s.computer_time = now;
  s.delay = delay_.figures();
  s.sync = sync;
  s.last_clock_set = last_set_;
  s.last_clock_refusal = last_refusal_;
  s.chrony = chrony_;
  s.chrony.socket = chrony_socket;
  return s;
}

}  // namespace acquisition
