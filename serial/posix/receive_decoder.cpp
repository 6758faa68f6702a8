#include "serial/posix/receive_decoder.h"

namespace serial {

namespace {
constexpr char kMark = '\xFF';
}  // namespace

void ReceiveDecoder::place(char c, ByteRing& queue, Received& got) const {
  if (c == '\0' && rules_.discard_null) return;
  if (queue.push(c)) ++got.dropped;
  ++got.placed;
  if (c == rules_.event_char) got.event_char = true;
}

void ReceiveDecoder::decode(const char* bytes, size_t count, ByteRing& queue, Received& got) {
  for (size_t i = 0; i < count; ++i) {
    const char c = bytes[i];
    if (!rules_.errors_marked) {
      place(c, queue, got);
      continue;
    }
    switch (mark_) {
      case Mark::None:
        if (c == kMark)
          mark_ = Mark::Escape;
        else
          place(c, queue, got);
        break;
      case Mark::Escape:
        if (c == '\0') {
          mark_ = Mark::Error;
        } else {
          // 0xFF 0xFF is a 0xFF data byte; nothing else follows the mark.
          mark_ = Mark::None;
          place(kMark, queue, got);
          if (c != kMark) place(c, queue, got);
        }
        break;
      case Mark::Error:
        mark_ = Mark::None;
        place(rules_.replace_char, queue, got);
        break;
    }
  }
}

}  // namespace serial
