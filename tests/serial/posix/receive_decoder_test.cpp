// What the layer does to received bytes on their way into the input queue.
#include "serial/posix/receive_decoder.h"

#include <gtest/gtest.h>
#include <string>

namespace serial {
namespace {

std::string drain(ByteRing& ring) {
  std::string out(ring.size(), '\0');
  out.resize(ring.pop(out.data(), out.size()));
  return out;
}

struct Decoded {
  std::string queued;
  Received got;
};

// Decodes `bytes` cut into the given pieces, as successive reads bring them.
Decoded decode(const ReceiveRules& rules, const std::string& bytes, std::initializer_list<size_t> cuts = {},
               size_t capacity = 64) {
  ReceiveDecoder decoder;
  decoder.set_rules(rules);
  ByteRing ring;
  ring.set_capacity(capacity);
  Decoded d;
  size_t from = 0;
  for (size_t cut : cuts) {
    decoder.decode(bytes.data() + from, cut - from, ring, d.got);
    from = cut;
  }
  decoder.decode(bytes.data() + from, bytes.size() - from, ring, d.got);
  d.queued = drain(ring);
  return d;
}

TEST(ByteRing, AFullRingLetsTheOldestBytesGoAndKeepsTheNewestOnResize) {
  ByteRing ring;
  ring.set_capacity(4);
  for (char c : std::string("abcdef")) ring.push(c);
  EXPECT_EQ(ring.size(), 4u);
  ring.set_capacity(3);
  EXPECT_EQ(drain(ring), "def");
  ring.set_capacity(0);
  EXPECT_TRUE(ring.push('x'));
  EXPECT_EQ(ring.size(), 0u);
}

TEST(ReceiveDecoder, PlainRulesPassEveryByteAndCountWhatAFullQueueLost) {
  const Decoded d = decode({},
                           std::string("ab\0\xFF"
                                       "cdef",
                                       8),
                           {}, 6);
  EXPECT_EQ(d.queued, std::string("\0\xFF"
                                  "cdef",
                                  6));
  EXPECT_EQ(d.got.placed, 8u);
  EXPECT_EQ(d.got.dropped, 2u);
}

TEST(ReceiveDecoder, TheEventCharacterIsNoticedOnlyWhenItIsQueued) {
  ReceiveRules rules;
  rules.event_char = '\n';
  EXPECT_TRUE(decode(rules, "$GP\r\n").got.event_char);
  EXPECT_FALSE(decode(rules, "$GP").got.event_char);
  rules.event_char = '\0';
  rules.discard_null = true;
  EXPECT_FALSE(decode(rules, std::string("a\0", 2)).got.event_char);
}

TEST(ReceiveDecoder, MarkedBadBytesBecomeTheReplacementAndDoubledMarksOneByte) {
  ReceiveRules rules;
  rules.errors_marked = true;
  rules.replace_char = '?';
  // "A", a bad 'B', a 0xFF data byte, a break (0xFF 0x00 0x00), "C".
  const std::string marked(
      "A\xFF\x00"
      "B\xFF\xFF\xFF\x00\x00"
      "C",
      10);
  const std::string expected("A?\xFF?C", 5);
  EXPECT_EQ(decode(rules, marked).queued, expected);
  // However the reads cut the marks.
  for (size_t cut = 1; cut < marked.size(); ++cut) EXPECT_EQ(decode(rules, marked, {cut}).queued, expected) << cut;
  EXPECT_EQ(decode(rules, marked, {2, 3, 5, 6, 7, 8}).queued, expected);
}

}  // namespace
}  // namespace serial
