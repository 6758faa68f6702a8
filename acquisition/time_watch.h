// Gathers, cycle after cycle, what the time status is made of. The
// acquisition tells it of every trusted fix, every attempt to set the clock
// and every sample offered to chronyd; a reader asks for the status when it
// shows it, so watching costs nothing more than these few records.
#pragma once

#include "acquisition/gps_time.h"
#include "acquisition/receiver_delay.h"
#include "acquisition/time_status.h"

#include <optional>
#include <string>

namespace acquisition {

// Why the clock was not set from a sentence time_trust did not trust.
ClockOutcome refusal_of(TimeTrust trust);

class TimeWatch {
 public:
  // A trusted fix: the sample Echantillon_horloge made from its first byte's
  // `arrival`.
  void fix(Arrival arrival, const platform::TimeSample& sample);
  void clock_attempt(ClockOutcome outcome, platform::UtcInstant at);
  // A sample offered to chronyd, and whether it was taken.
  void chrony_sample(bool accepted);
  // The port closed: the next receiver may be another one.
  void port_closed();

  // `chrony_socket` is the socket the settings name (empty: none).
  TimeStatus status(platform::UtcInstant now, std::optional<platform::ClockSync> sync,
                    const std::string& chrony_socket) const;

 private:
  ReceiverDelay delay_;
  std::optional<platform::UtcInstant> gps_time_;
  std::optional<std::chrono::milliseconds> difference_;
  std::optional<ClockAttempt> last_set_;
  std::optional<ClockAttempt> last_refusal_;
  ChronyFeed chrony_;
};

}  // namespace acquisition
