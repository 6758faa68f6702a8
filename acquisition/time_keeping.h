// The clock's share of a cycle with the time watch told of it: what the
// acquisition calls so that the time panel and the time report see every
// trusted fix, every sample offered to chronyd and every clock setting.
#pragma once

#include "acquisition/clock_setting.h"
#include "acquisition/time_watch.h"
#include "platform/time_sample_sink.h"

#include <optional>
#include <string>

namespace acquisition {

// A cycle's trusted fix: its delay to `watch` and, when `socket` names
// chronyd's socket (bytes of a file name), a sample to it. Nothing without
// the arrival of its first byte, which every fix read from a port has.
void hand_on_fix_time(platform::SystemClock& clock, platform::TimeSampleSink& sink, const std::string& socket,
                      const HeureCycle& heure, TimeWatch& watch);

// An acting cycle that is to set the clock: Regler_horloge_pc from `heure`
// (with its arrival when `precise`), or, with no trusted time, the reason
// `trust` gives; `watch` learns which, and so does the caller. A clock that
// reads no real instant is told as a refusal by the system.
ClockOutcome set_clock_from_cycle(platform::SystemClock& clock, const std::optional<HeureCycle>& heure, TimeTrust trust,
                                  bool precise, TimeWatch& watch);

}  // namespace acquisition
