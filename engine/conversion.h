// A conversion as one request in and one result out: the channels to link
// go in as a plain record, and what came of it comes back as one, with the
// links the output now carries. Nothing here keeps state between calls, so
// conversions may run side by side on several threads.
#pragma once

#include <cstdint>

#include "engine/stops.h"
#include "shell/memblock.h"

// The channels to link: bit i of a mask stands for channel i + 1. allTracks
// rewrites the links of SMAF score tracks 6 and 7 too, which a conversion
// otherwise leaves as they are.
struct ConversionRequest {
  uint16_t vibMask;
  uint16_t ledMask;
  bool allTracks;
};

enum ConvertOutcome {
  CONVERT_DONE,        // converted (and, for a file, written)
  CONVERT_UNREADABLE,  // the input could not be read
  CONVERT_NOT_MELODY,  // neither magic occurs in the input
  CONVERT_MALFORMED,   // a melody too damaged to rewrite; nothing written
  CONVERT_NO_MEMORY,   // no room for the output
  CONVERT_UNWRITABLE,  // the output could not be written
};

// The links that a converted file carries, as the inspector reads them from
// it (bit i of a mask: channel i + 1, up to 32), and the room it had for
// them, which tells why it carries less than was asked.
struct CarriedLinks {
  uint32_t vibration;
  uint32_t led;          // LED links and, in SMAF, the channel of the LED tag
  uint32_t tracks;       // i-melody track chunks; the links go into the first
  uint32_t vibPlaces;    // SMAF: channels whose vibration score tracks 0 to 5 hold
  uint32_t ledPlaces;    // SMAF: channels whose LED track 5 holds
  uint32_t laterPlaces;  // SMAF: channels of score tracks 6 and 7
  bool contentsInfo;     // SMAF: a contents-info chunk, whose LED tag names one channel
  bool recordedSound;    // audio tracks or chunks, which no link follows
};

struct ConversionResult {
  ConvertOutcome outcome;
  int formatKind;         // the format of the input's first magic, FORMAT_NONE without one
  uint8_t formatVersion;  // the i-melody version that decided the links, or the SMAF score-track type
  StopPlace stopped;      // where the rewrite gave up (CONVERT_MALFORMED); its stop is a MelodyStop or SmafStop
  uint64_t outputLength;
  CarriedLinks carried;  // all 0 unless CONVERT_DONE
};

// Extra room that a rewrite may need beyond the input's length.
const uint32_t outputHeadroom = 10240;

// The number of the lowest channel selected in a mask, 0 when none is.
uint8_t lowestChannel(uint16_t mask);

// Converts the image of `length` bytes at `input` into `output`, which holds
// `capacity` bytes: at least the input's length + outputHeadroom. The
// output's first outputLength bytes are the converted image when the
// outcome is CONVERT_DONE; otherwise nothing in it is meaningful.
ConversionResult convertImage(const uint8_t *input, uint64_t length, uint8_t *output, uint64_t capacity,
                              const ConversionRequest &request);

// The same from one memory block into another (created, of any size): the
// output is sized first, and its length set to the converted image's, 0
// unless converted.
ConversionResult convertBlock(const MemBlock &input, MemBlock *output, const ConversionRequest &request);
