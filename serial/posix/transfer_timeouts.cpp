#include "serial/posix/transfer_timeouts.h"

namespace serial {
namespace {

constexpr uint32_t kMax = 0xFFFFFFFFu;

uint32_t as_unsigned(int32_t value) { return static_cast<uint32_t>(value); }

// multiplier × count + constant, or -1 when both are zero (no limit).
int64_t total_limit(int32_t multiplier, int32_t constant, int count) {
  uint64_t m = as_unsigned(multiplier), c = as_unsigned(constant);
  if (m == 0 && c == 0) return -1;
  return static_cast<int64_t>(m * static_cast<uint64_t>(count > 0 ? count : 0) + c);
}

}  // namespace

ReadLimits read_limits(const CommTimeouts& timeouts, int count) {
  ReadLimits limits;
  uint32_t interval = as_unsigned(timeouts.ReadInterval);
  uint32_t multiplier = as_unsigned(timeouts.ReadTotalMultiplier);
  uint32_t constant = as_unsigned(timeouts.ReadTotalConstant);
  if (interval == kMax && multiplier == 0 && constant == 0) {
    limits.return_at_once = true;
    return limits;
  }
  if (interval == kMax && multiplier == kMax && constant != 0 && constant != kMax) {
    limits.return_on_first_bytes = true;
    limits.total_ms = constant;
    return limits;
  }
  limits.total_ms = total_limit(timeouts.ReadTotalMultiplier, timeouts.ReadTotalConstant, count);
  if (interval != 0) limits.interval_ms = interval;
  return limits;
}

int64_t write_limit_ms(const CommTimeouts& timeouts, int count) {
  return total_limit(timeouts.WriteTotalMultiplier, timeouts.WriteTotalConstant, count);
}

}  // namespace serial
