// The web page's C interface to the engine. The page copies a file's bytes
// into the module's memory, converts or inspects them, reads the results
// back and releases them; nothing here touches a file system.
#pragma once

#include <cstdint>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define SORBELIN_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define SORBELIN_EXPORT
#endif

// One conversion's result, owned by the module until it is released.
struct WebConversion;

extern "C" {

// What a conversion is asked beyond the masks: SMAF score tracks 6 and 7
// are linked too (--all-tracks).
enum { SORBELIN_ALL_TRACKS = 1 };

// Converts `length` bytes at `bytes` with the given masks (bit i stands for
// channel i + 1) and flags (0, or SORBELIN_ALL_TRACKS). Returns null only
// when no memory is left for the result.
SORBELIN_EXPORT WebConversion *sorbelin_convert(const uint8_t *bytes, uint32_t length,
                                                uint32_t vibMask, uint32_t ledMask, uint32_t flags);

// What came of it: a ConvertOutcome (CONVERT_DONE, CONVERT_NOT_MELODY,
// CONVERT_MALFORMED or CONVERT_NO_MEMORY).
SORBELIN_EXPORT int sorbelin_outcome(const WebConversion *result);

// The converted image and its length; null and 0 unless converted.
SORBELIN_EXPORT const uint8_t *sorbelin_output(const WebConversion *result);
SORBELIN_EXPORT uint32_t sorbelin_output_length(const WebConversion *result);

// The result message in Japanese (nonzero `japanese`) or English, UTF-8; null
// when nothing was converted or no message applies.
SORBELIN_EXPORT const char *sorbelin_message(const WebConversion *result, int japanese);

// The channels that the converted image links, read back from its bytes
// (bit i for channel i + 1): the vibration's, or with nonzero `led` the
// LED's; 0 unless converted.
SORBELIN_EXPORT uint32_t sorbelin_carried(const WebConversion *result, int led);

// Nonzero when the converted image has SMAF score tracks 6 or 7 whose links
// only SORBELIN_ALL_TRACKS rewrites.
SORBELIN_EXPORT int sorbelin_later_tracks(const WebConversion *result);

// The line that says what the converted image carries, and why less than was
// asked where it could not hold it, for a file named `name` (UTF-8), in
// Japanese (nonzero `japanese`) or English: the line the native program
// prints after a conversion, naming the page's choice that links score
// tracks 6 and 7 as `allTracksChoice`. In storage from malloc that the
// caller frees; null unless converted or when no memory is left.
SORBELIN_EXPORT char *sorbelin_carries(const WebConversion *result, const char *name, int japanese,
                                       const char *allTracksChoice);

// Releases a result and its image; null is ignored.
SORBELIN_EXPORT void sorbelin_release(WebConversion *result);

// The inspector's report on `length` bytes at `bytes` for a file named `name`
// (UTF-8): the one line of JSON that `sorbelin --info --json` prints for it,
// without the line end, in storage from malloc that the caller frees; null
// when no memory is left.
SORBELIN_EXPORT char *sorbelin_inspect(const char *name, const uint8_t *bytes, uint32_t length);

// The note timeline of the bytes: the one line of JSON that `sorbelin
// --timeline --json` prints for a file named `name`, in storage from malloc
// that the caller frees; null when no memory is left.
SORBELIN_EXPORT char *sorbelin_timeline(const char *name, const uint8_t *bytes, uint32_t length);

}  // extern "C"
