// Where the phone will disappoint, for the channels a converted file links:
// a linked channel that never plays, vibration pulses too short to feel, a
// vibrator that runs almost all the time.
#pragma once

#include <cstdint>

#include "engine/channelroles.h"

// Bit i of a mask stands for channel i + 1.
struct PhoneWarnings {
  uint32_t vibrationSilent, ledSilent;  // linked channels that never play
  bool vibrationStill, ledDark;         // none of the device's linked channels plays
  bool pulsesTooShort;                  // more than half of the vibration's pulses are under 80 ms
  bool almostAlwaysOn;                  // the vibrator runs for more than 70 % of the piece
};

// The warnings for a piece whose channels `roles` describes (readChannelRoles)
// when the vibrator follows `vibration` and the LED `led`.
PhoneWarnings phoneWarnings(const ChannelRoles &roles, uint32_t vibration, uint32_t led);

inline bool anyWarning(const PhoneWarnings &w) {
  return w.vibrationSilent || w.ledSilent || w.pulsesTooShort || w.almostAlwaysOn;
}
