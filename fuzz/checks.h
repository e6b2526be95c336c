// Property checks behind the fuzz targets. Each takes one fuzz input, runs
// the code under test on it and returns null when every property holds, or a
// short text naming the first one that failed. The replay tests run the seed
// corpora and every input that ever failed through the same checks.
#pragma once

#include <cstddef>
#include <cstdint>

// convertBuffer: the first two bytes are the vibration mask, the next two the
// LED mask (big-endian), the rest is the image; an odd number of set bits in
// the four mask bytes has score tracks 6 and 7 rewritten too.
const char *checkConversion(const uint8_t *data, size_t size);

// inspectImage and its reports on the image, read as for checkConversion;
// on a converted image, the links that the masks ask for.
const char *checkInspection(const uint8_t *data, size_t size);

// decodeTimeline and its reports on the image, read as for checkConversion;
// on a converted image, the same timeline as the input's.
const char *checkTimeline(const uint8_t *data, size_t size);

// suggestForImage and its reports on the image, read as for
// checkConversion (the odd number of set bits asking for all tracks); then
// the conversion with the suggestion's channels links exactly those.
const char *checkSuggestion(const uint8_t *data, size_t size);

// splitCommandLine and readOptions: the bytes up to the first zero are the
// command-line text.
const char *checkOwnCommandLine(const uint8_t *data, size_t size);

// parseCliArguments and parseChannelList: the bytes are the arguments after
// the program's name, each ended by a zero byte.
const char *checkPosixArguments(const uint8_t *data, size_t size);
