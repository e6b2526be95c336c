// The conversion driver: one road from a pair of file paths, or a pair of
// memory blocks, to a rewritten melody.
#pragma once

#include <cstdint>

#include "shell/memblock.h"

enum { FORMAT_NONE = 0, FORMAT_IMELODY = 1, FORMAT_SMAF = 2 };

// What the last conversion rewrote: the format, and the i-melody version or
// the SMAF score-track type.
struct ConversionReport {
  uint8_t formatKind;
  uint8_t formatVersion;
};

// The user's channel choice and the last conversion's report. A mask's bit i
// stands for channel i + 1; a channel is the lowest one selected in its mask,
// or 0 for none. allTracks (--all-tracks; 0 in the Windows program and its
// command line) has the SMAF score tracks 6 and 7 rewritten too.
struct ConversionSettings {
  uint8_t vibChannel;
  uint8_t ledChannel;
  uint16_t vibMask;
  uint16_t ledMask;
  ConversionReport report;
  uint8_t allTracks;
};

extern ConversionSettings conversionSettings;

// Extra room that a rewrite may need beyond the input's length.
const uint32_t outputHeadroom = 10240;

enum ConvertOutcome {
  CONVERT_DONE,        // converted and written
  CONVERT_UNREADABLE,  // the input could not be read
  CONVERT_NOT_MELODY,  // neither magic occurs in the input
  CONVERT_MALFORMED,   // a melody too damaged to rewrite; nothing written
  CONVERT_NO_MEMORY,   // no room for the output
  CONVERT_UNWRITABLE,  // the output could not be written
};

// Converts one file. Nothing is created or changed unless the conversion
// succeeds; the two paths may name the same file. On failure errno (or the
// thread's last error on Windows) tells the system's reason where there is one.
ConvertOutcome convertFileOutcome(const char *inputPath, const char *outputPath);

// The same, as nonzero for a converted and written file and 0 otherwise.
int convertFile(const char *inputPath, const char *outputPath);

// Converts the image in `input` into `output` (created, of length 0): grows
// the output, derives the channels from the masks and hands both blocks to the
// rewriter of the first magic found. The report is cleared first, so that it
// names FORMAT_NONE unless a rewrite succeeded.
void convertBuffer(MemBlock *input, MemBlock *output);

// convertBuffer, and what came of it: CONVERT_DONE when the output holds a
// rewritten image, otherwise CONVERT_NOT_MELODY, CONVERT_MALFORMED or
// CONVERT_NO_MEMORY.
ConvertOutcome convertBufferOutcome(MemBlock *input, MemBlock *output);

// The format of the first magic ("melo" or "MMMD") in the bytes, or FORMAT_NONE.
int findFormat(const uint8_t *data, uint32_t length);

// The number of the lowest channel selected in a mask, 0 when none is.
uint8_t lowestChannel(uint16_t mask);
