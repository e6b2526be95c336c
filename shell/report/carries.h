// After a conversion: what the converted file now carries, as one plain line
// for the user ("tune.mmf: vibration 2, LED 1"), and where the file could not
// hold all that was asked, why, in words a ringtone user knows
// ("vibration none (this file has no track that can hold vibration)").
#pragma once

#include <cstdint>
#include <string>

#include "shell/messages.h"

// The line for the file named `name`, whose converted image is `image`,
// converted with the channels of `vibMask` and `ledMask`; without a line end.
std::string carriesLine(const char *name, const uint8_t *image, uint32_t length, uint16_t vibMask, uint16_t ledMask,
                        Language language);

// The channels that the converted image links, as the line names them (bit i
// for channel i + 1): its vibration links, and its LED links with the channel
// that a SMAF file's LED tag names.
void carriedLinks(const uint8_t *image, uint32_t length, uint16_t *vibMask, uint16_t *ledMask);
