// After a conversion: what the converted file now carries, as one plain line
// for the user ("tune.mmf: vibration 2, LED 1"), and where the file could not
// hold all that was asked, why, in words a ringtone user knows
// ("vibration none (this file has no track that can hold vibration)").
#pragma once

#include <cstdint>
#include <string>

#include "shell/messages.h"

// What was asked of a conversion: the channel masks (bit i for channel
// i + 1), whether score tracks 6 and 7 were rewritten too, and how the front
// end names the choice that rewrites them ("--all-tracks"), for the reason
// that says they were left alone.
struct CarriesRequest {
  uint16_t vibMask;
  uint16_t ledMask;
  bool allTracks;
  const char *allTracksChoice;
};

// The line for the file named `name`, whose converted image is `image`,
// converted as `request` says; without a line end.
std::string carriesLine(const char *name, const uint8_t *image, uint32_t length, const CarriesRequest &request,
                        Language language);

// The channels that a converted image links, as the line names them (bit i
// for channel i + 1): its vibration links, and its LED links with the channel
// that a SMAF file's LED tag names; and whether it has score tracks 6 or 7
// whose links only the choice of all tracks rewrites.
struct CarriedLinks {
  uint32_t vibMask;
  uint32_t ledMask;
  bool laterTracks;
};
CarriedLinks carriedLinks(const uint8_t *image, uint32_t length);
