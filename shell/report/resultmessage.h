// The message that tells the user, after a conversion, on which phones the
// link works. The Windows program shows its Japanese text; the terminal and
// the web page the user's language.
#pragma once

#include <cstdint>

#include "resources/messages.h"

// The message for a converted file of this format and version (the
// i-melody version, or the SMAF score-track type) whose lowest LED channel
// is `ledChannel` (0 for none), in both languages; null when no message
// applies (nothing converted, i-melody version 1, SMAF type 1, ...).
const Message *resultText(int formatKind, int formatVersion, uint8_t ledChannel);
