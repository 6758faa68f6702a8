// Instants of track points: UTC milliseconds since 1970, from the calendar
// fields the formats write and back to the journal's texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace track {

// Nothing for fields that name no real instant (30 February, hour 24,
// second 60, milliseconds 1000).
std::optional<int64_t> utc_ms(int year, int month, int day, int hour, int minute, int second, int millis = 0);

// "2094-03-23T12:35:19Z", with optional decimals of a second and a "Z" or an
// offset ("+02:00", "-0500"); without either it is taken as UTC. Digits past
// the milliseconds are dropped.
std::optional<int64_t> iso8601_ms(std::string_view text);

// The journal's "dd/mm/yyyy" and "hh:mm:ss" of an instant (the milliseconds
// dropped).
std::string journal_date_text(int64_t ms);
std::string journal_time_text(int64_t ms);

}  // namespace track
