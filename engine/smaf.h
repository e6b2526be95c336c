// The SMAF rewriter: replaces the LED tag of the contents-info chunk, rewrites
// the channel status bits of score tracks 0 to 5 (and of tracks 6 and 7 when
// conversionSettings.allTracks asks for it), and recomputes the file chunk's
// length and closing CRC.
#pragma once

#include "shell/memblock.h"

// Reads the masks and LED channel of conversionSettings and fills its report.
// The output must hold input length + 10240 bytes. Returns 1 when the image
// was rewritten; 0 when it was given up as malformed (report FORMAT_NONE,
// output length 0).
int rewriteSmaf(const MemBlock *input, MemBlock *output);
