// The conversion driver: one road from a pair of file paths, or a pair of
// memory blocks, to a rewritten melody, with the user's channel choice and
// the last conversion's report in one process-wide record. It is a thin
// layer over the request and result of engine/conversion.h.
#pragma once

#include <cstdint>

#include "engine/format.h"
#include "shell/memblock.h"

// What the last conversion rewrote: the format, and the i-melody version or
// the SMAF score-track type.
struct ConversionReport {
  uint8_t formatKind;
  uint8_t formatVersion;
};

// The user's channel choice and the last conversion's report. A mask's bit i
// stands for channel i + 1; a channel is the lowest one selected in its mask,
// or 0 for none.
struct ConversionSettings {
  uint8_t vibChannel;
  uint8_t ledChannel;
  uint16_t vibMask;
  uint16_t ledMask;
  ConversionReport report;
};

extern ConversionSettings conversionSettings;

// Converts one file with the masks of conversionSettings: nonzero for a
// converted and written file, 0 otherwise. Nothing is created or changed
// unless the conversion succeeds; the two paths may name the same file.
int convertFile(const char *inputPath, const char *outputPath);

// Converts the image in `input` into `output` (created, of length 0): grows
// the output, derives the channels from the masks and hands both blocks to the
// rewriter of the first magic found. The report is cleared first, so that it
// names FORMAT_NONE unless a rewrite succeeded.
void convertBuffer(MemBlock *input, MemBlock *output);
