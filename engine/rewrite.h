// The two rewriters beneath every conversion: each takes an image and the
// channels to link, writes the converted image into output memory of fixed
// capacity, and tells what came of it.
#pragma once

#include <cstdint>

#include "engine/conversion.h"

// The channels as a rewrite links them: both masks, and the lowest channel
// of each (1 to 16, 0 for none), which i-melody version 2 and the SMAF LED
// tag name.
struct LinkChoice {
  uint16_t vibMask;
  uint16_t ledMask;
  uint8_t vibChannel;
  uint8_t ledChannel;
  bool allTracks;
};

// What a rewrite of `format` gives: CONVERT_MALFORMED with the place where
// its walk stopped, when `stopped.stop` names a stop; otherwise CONVERT_DONE
// with the `outputLength` bytes written and the links they carry.
ConversionResult rewriteResult(int format, uint8_t version, const StopPlace &stopped, uint64_t outputLength,
                               const CarriedLinks &carried);

// Each gives CONVERT_DONE with the output's length, format version and
// carried links, or CONVERT_MALFORMED with the place where it gave up.
ConversionResult rewriteMelodyImage(const uint8_t *input, uint64_t length, uint8_t *output, uint64_t capacity,
                                    const LinkChoice &choice);
ConversionResult rewriteSmafImage(const uint8_t *input, uint64_t length, uint8_t *output, uint64_t capacity,
                                  const LinkChoice &choice);

// The specified rewriters' one road: the choice from conversionSettings
// (whose report is cleared first and filled when the rewrite succeeds), the
// output sized as convertBuffer sized it. Returns 1 when rewritten.
using ImageRewriter = ConversionResult (*)(const uint8_t *, uint64_t, uint8_t *, uint64_t, const LinkChoice &);
int rewriteWithSettings(ImageRewriter rewrite, const MemBlock *input, MemBlock *output);
