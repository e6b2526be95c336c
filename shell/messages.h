// The message that tells the user, after a conversion, on which phones the
// link works.
#pragma once

#include <cstdint>

#include "engine/convert.h"

// The text for the report and LED channel, or null when no message applies
// (nothing converted, i-melody version 1, SMAF type 1, ...).
const char *resultMessage(const ConversionReport &report, uint8_t ledChannel);
