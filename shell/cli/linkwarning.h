// After a conversion: whether the converted file holds every link asked for.
#pragma once

#include <cstdint>
#include <string>

// The line for stderr that says what the converted image at `image` now
// carries and why it could not hold the masks asked for; empty when it holds
// them all. `name` names the file in the line.
std::string linkWarning(const char *name, const uint8_t *image, uint32_t length, uint16_t vibMask,
                        uint16_t ledMask);
