// What the inspector found in a file, as a few aligned lines for a person.
#pragma once

#include <cstdint>
#include <string>

#include "engine/inspect.h"
#include "shell/messages.h"

// The report on a file that inspectImage read into `info` from `bytes`:
// the path, then one line per fact; notes per channel as bars, so that the
// busiest channels stand out.
std::string infoText(const char *path, const MelodyInfo &info, const uint8_t *bytes, Language language);

// The report on a file that could not be read.
std::string unreadableInfoText(const char *path, const char *reason);

// A length as minutes, seconds and tenths ("4:45.5"), rounded to the tenth
// from its whole milliseconds before rounding: a fraction of a millisecond
// never moves the tenth, a millisecond rounded up can.
std::string durationText(int64_t floorMs);

// Channels of a mask (bit i for channel i + 1, up to 32) as a list like
// "1,3,9-12", or "none".
std::string channelListText(uint32_t mask);
