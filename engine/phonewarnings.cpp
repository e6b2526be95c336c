#include "engine/phonewarnings.h"

namespace {

// Most pulses under 80 ms: the motor hardly spins up before it stops.
const double tooShortShare = 0.5;
// On for more than 70 % of the piece, the vibration is one long drone that
// numbs rather than pulses.
const double alwaysOnDuty = 0.7;

}  // namespace

PhoneWarnings phoneWarnings(const ChannelRoles &roles, uint32_t vibration, uint32_t led) {
  PhoneWarnings w = {};
  w.vibrationSilent = vibration & ~roles.withNotes;
  w.ledSilent = led & ~roles.withNotes;
  w.vibrationStill = vibration && !(vibration & roles.withNotes);
  w.ledDark = led && !(led & roles.withNotes);
  VibrationPattern pattern = patternOf(roles, vibration);
  w.pulsesTooShort = pattern.pulses && pattern.shortShare > tooShortShare;
  w.almostAlwaysOn = pattern.duty > alwaysOnDuty;
  return w;
}
