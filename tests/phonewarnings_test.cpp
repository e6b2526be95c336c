// Where the phone will disappoint, for the channels a file links: one that
// never plays, pulses too short to feel, a vibrator that hardly stops.
#include <gtest/gtest.h>

#include "engine/convert.h"
#include "engine/phonewarnings.h"

namespace {

// One second: channel 1 ticks of 20 ms every 200 ms; channel 2 one note of
// 800 ms; channel 3 notes of 100 ms every 250 ms; channel 4 one tick and
// one long note; channel 5 one note of 700 ms.
ChannelRoles piece() {
  Timeline t = {};
  t.formatKind = FORMAT_SMAF;
  t.durationMs = 1000;
  t.channels = 16;
  for (int k = 0; k < 5; ++k) t.notes.push_back({200 * k, 20, 1, 60, 100});
  t.notes.push_back({0, 800, 2, 60, 100});
  for (int k = 0; k < 4; ++k) t.notes.push_back({250 * k, 100, 3, 60, 100});
  t.notes.insert(t.notes.end(), {{0, 20, 4, 60, 100}, {500, 200, 4, 60, 100}, {0, 700, 5, 60, 100}});
  ChannelRoles roles;
  readChannelRoles(t, &roles);
  return roles;
}

}  // namespace

TEST(PhoneWarnings, EachWhereItApplies) {
  ChannelRoles roles = piece();
  struct Case {
    uint32_t vibration, led;
    PhoneWarnings expected;
  } cases[] = {
      {0x0004, 0x0004, {0, 0, false, false, false, false}},
      {0x0001, 0x0000, {0, 0, false, false, true, false}},
      {0x0002, 0x0002, {0, 0, false, false, false, true}},
      {0x8000, 0x0000, {0x8000, 0, true, false, false, false}},
      {0x8004, 0x8000, {0x8000, 0x8000, false, true, false, false}},
      {0x0000, 0x8001, {0, 0x8000, false, false, false, false}},
      // Ticks within 60 ms of the longer notes join them: no short pulses.
      {0x0005, 0x0000, {0, 0, false, false, false, false}},
      // Half the pulses short, 70 % on: not yet.
      {0x0008, 0x0000, {0, 0, false, false, false, false}},
      {0x0010, 0x0000, {0, 0, false, false, false, false}},
      {0x0000, 0x0000, {0, 0, false, false, false, false}},
  };
  for (const Case &c : cases) {
    PhoneWarnings w = phoneWarnings(roles, c.vibration, c.led);
    const PhoneWarnings &e = c.expected;
    std::string name = std::to_string(c.vibration) + "/" + std::to_string(c.led);
    EXPECT_EQ(w.vibrationSilent, e.vibrationSilent) << name;
    EXPECT_EQ(w.ledSilent, e.ledSilent) << name;
    EXPECT_EQ(w.vibrationStill, e.vibrationStill) << name;
    EXPECT_EQ(w.ledDark, e.ledDark) << name;
    EXPECT_EQ(w.pulsesTooShort, e.pulsesTooShort) << name;
    EXPECT_EQ(w.almostAlwaysOn, e.almostAlwaysOn) << name;
  }
}
