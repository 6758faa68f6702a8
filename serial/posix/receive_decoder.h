// What the line discipline cannot do for the port, done on the bytes read
// from the tty before they enter the port's input queue: dropping NUL bytes,
// replacing bytes received with a parity error, and noticing the event
// character.
#pragma once

#include "serial/posix/byte_ring.h"

#include <cstddef>

namespace serial {

struct ReceiveRules {
  bool discard_null = false;
  char event_char = 0;
  // The tty marks bad bytes (PARMRK): a byte received with a parity or
  // framing error, or a break, comes as 0xFF 0x00 byte, and a 0xFF data byte
  // comes doubled. Each marked byte becomes `replace_char`.
  bool errors_marked = false;
  char replace_char = 0;
};

// What one decode put into the queue.
struct Received {
  size_t placed = 0;        // bytes entered
  size_t dropped = 0;       // older bytes the full queue let go for them
  bool event_char = false;  // the event character was among those entered
};

class ReceiveDecoder {
 public:
  // Forgets a mark cut off at the end of the last decode: it was made under
  // the old rules.
  void set_rules(const ReceiveRules& rules) {
    rules_ = rules;
    reset();
  }
  // Forgets a mark cut off at the end of the last decode: the bytes it began
  // with were cleared.
  void reset() { mark_ = Mark::None; }

  // A mark may straddle two reads: its start is kept for the next call.
  void decode(const char* bytes, size_t count, ByteRing& queue, Received& got);

 private:
  enum class Mark { None, Escape, Error };
  void place(char c, ByteRing& queue, Received& got) const;

  ReceiveRules rules_;
  Mark mark_ = Mark::None;
};

}  // namespace serial
