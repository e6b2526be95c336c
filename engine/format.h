// The two melody formats, told apart by their four-byte magic.
#pragma once

#include <cstdint>

enum { FORMAT_NONE = 0, FORMAT_IMELODY = 1, FORMAT_SMAF = 2 };

// The format of the first magic ("melo" or "MMMD") in the bytes, or
// FORMAT_NONE: the lowest offset at which either begins decides.
int findFormat(const uint8_t *data, uint32_t length);
