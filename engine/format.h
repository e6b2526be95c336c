// The two melody formats, told apart by their four-byte magic.
#pragma once

#include <cstdint>

#include "engine/stops.h"

enum { FORMAT_NONE = 0, FORMAT_IMELODY = 1, FORMAT_SMAF = 2 };

// The format of the first magic ("melo" or "MMMD") in the bytes, or
// FORMAT_NONE: the lowest offset at which either begins decides.
int findFormat(const uint8_t *data, uint32_t length);

// A file that does not begin with a file chunk ("melo", "cmid" or "MMMD"),
// and whose reading stopped at its first chunk, having read nothing (a
// chunk of no known kind that runs past the end), holds no melody: its magic
// only stands somewhere among other bytes, as in a text that holds the
// letters "melo".
// `stopped` is where the reading of a file of `format` stopped.
bool readsAsNoMelody(int format, const uint8_t *data, uint64_t length, const StopPlace &stopped);
