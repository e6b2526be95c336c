// The web page's C interface to the engine. The page copies a file's bytes
// into the module's memory, reads or converts them, takes the results as one
// line of JSON each (and the converted bytes), and releases them; nothing
// here touches a file system or keeps anything between calls.
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
// are linked too (--all-tracks); the result says where the phone will
// disappoint, which reads the file's notes again (the page asks it for the
// files whose reading it could show).
enum { SORBELIN_ALL_TRACKS = 1, SORBELIN_WARNINGS = 2 };

// Everything the page shows of a file named `name` (UTF-8) before it is
// converted, from one reading of its `length` bytes, as one line of JSON:
// {"info": the line of `sorbelin --info --json`, "timeline": the line of
// `sorbelin --timeline --json`, "length": the piece's length as --info's
// text gives it ("0:04.0"), or null for no melody, "madeFor": {"japanese",
// "english"} the phones a SMAF file is made for, as --info's text names
// them ("phones that play 16 notes at once"), or null, "roles": [{"channel",
// "role" (English, as JSON reports give it), "japanese", "english"}] for
// each channel with notes, "suggested": {"plain", "allTracks"} the
// suggestion without and with SORBELIN_ALL_TRACKS, each {"vibration":
// [channels], "led": [channels], "reasons": {"vibration", "led"}, each
// {"japanese", "english"}}}. A reason that names the choice linking score
// tracks 6 and 7 names it by `allTracksJapanese` or `allTracksEnglish`. In
// storage from malloc that the caller frees; null when no memory is left.
SORBELIN_EXPORT char *sorbelin_read(const char *name, const uint8_t *bytes, uint32_t length,
                                    const char *allTracksJapanese, const char *allTracksEnglish);

// Converts `length` bytes at `bytes` of a file named `name` (UTF-8) with
// the given masks (bit i stands for channel i + 1) and flags (any of
// SORBELIN_ALL_TRACKS, the page's choice that `allTracksJapanese` and
// `allTracksEnglish` name, and SORBELIN_WARNINGS). The page's suggested channels are the masks
// that sorbelin_read gives, which are those of `sorbelin --vib auto --led
// auto` with the same flags. Returns null only when no memory is left for
// the result.
SORBELIN_EXPORT WebConversion *sorbelin_convert(const char *name, const uint8_t *bytes, uint32_t length,
                                                uint32_t vibMask, uint32_t ledMask, uint32_t flags,
                                                const char *allTracksJapanese, const char *allTracksEnglish);

// What came of it, as one line of JSON: {"outcome": "done", "not-melody",
// "malformed" or "no-memory", "vibration": [channels the output links],
// "led": [...], "laterTracks": whether the output has score tracks 6 or 7
// whose links only SORBELIN_ALL_TRACKS rewrites, "message": {"japanese",
// "english"} the result message or null, "carries": {"japanese",
// "english"} the line the native program prints after a conversion, or null
// unless converted, "warnings": {"japanese": [...], "english": [...]} where
// the phone will disappoint with the links the output carries, a sentence
// each (none unless converted and asked with SORBELIN_WARNINGS)}. Owned by
// the result.
SORBELIN_EXPORT const char *sorbelin_conversion(const WebConversion *result);

// The converted image and its length; null and 0 unless converted.
SORBELIN_EXPORT const uint8_t *sorbelin_output(const WebConversion *result);
SORBELIN_EXPORT uint32_t sorbelin_output_length(const WebConversion *result);

// Releases a result and its image; null is ignored.
SORBELIN_EXPORT void sorbelin_release(WebConversion *result);

}  // extern "C"
