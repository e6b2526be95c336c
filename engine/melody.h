// The i-melody rewriter: drops the vibration and LED link events from every
// track, writes new ones for the chosen channels at the start of the first
// track, and recomputes the track, header and file lengths.
#pragma once

#include "shell/memblock.h"

// Reads the masks and channels of conversionSettings and fills its report.
// The output must hold input length + 10240 bytes. Returns 1 when the image
// was rewritten; 0 when it was given up as malformed (report FORMAT_NONE,
// output length 0).
int rewriteMelody(const MemBlock *input, MemBlock *output);
