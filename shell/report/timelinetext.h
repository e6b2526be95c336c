// The note timeline for a person: one strip per channel that has notes,
// labelled with its role, one for recorded sound (which nothing follows),
// and one each for the vibration and the LED that follow linked channels;
// each column covers an equal share of the piece and shows how much of its
// time a note sounds, or, where notes begin but sound for a quarter of it
// or less, a mark, so that a part of many very short notes (drums) shows
// its beats. A time axis in seconds underneath.
#pragma once

#include <cstdint>
#include <string>

#include "engine/channelroles.h"
#include "engine/timeline.h"
#include "shell/report/phrases.h"

struct StripLayout {
  int width;    // of each line, in columns (20 or more)
  bool blocks;  // block characters (UTF-8); otherwise ASCII
};

// The report on a file that decodeTimeline read, whose channels `roles`
// describes (readChannelRoles): the path, the format and the piece's length,
// the strips (each channel's role beside its number, the channels linked to
// the vibrator and the LED marked V and L), the axis, and where reading
// stopped. Bit i of a mask stands for channel i + 1.
std::string timelineText(const char *path, const Timeline &timeline, const ChannelRoles &roles, uint32_t vibChannels,
                         uint32_t ledChannels, const StripLayout &layout, Language language);
