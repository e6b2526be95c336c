// Melody images built from their parts, for the tests: each builder writes
// the chunk with its length fields consistent.
#pragma once

#include "engine/bytes.h"
#include "tests/testing.h"

// i-melody: a "vers" sub-chunk naming a version digit, a "note" sub-chunk
// with its flag, a track around its events.
inline Bytes vers(char digit) { return ascii("vers") + hex("00 04 30") + Bytes{uint8_t(digit)} + hex("30 30"); }
inline Bytes note(uint8_t flag) { return ascii("note") + hex("00 02 00") + Bytes{flag}; }
inline Bytes track(const Bytes &events) { return ascii("trac") + be(uint32_t(events.size()), 4) + events; }

// A consistent i-melody image: file chunk, header sub-chunks, tracks (or
// audio chunks), and whatever follows the declared end.
inline Bytes melody(const Bytes &headers, const Bytes &tracks, const Bytes &after = {}) {
  return ascii("melo") + be(uint32_t(5 + headers.size() + tracks.size()), 4) + be(uint32_t(3 + headers.size()), 2) +
         hex("01 00 01") + headers + tracks + after;
}

// SMAF: a chunk, a contents-info chunk around its option data, a score
// track with its format type and channel status bytes.
inline Bytes chunk(const Bytes &id, const Bytes &data) { return id + be(uint32_t(data.size()), 4) + data; }
inline Bytes cnti(const Bytes &options) { return chunk(ascii("CNTI"), hex("01 02 03 04 05") + options); }
inline Bytes mtr(uint8_t track, const Bytes &status, uint8_t formatType = 0) {
  return chunk(ascii("MTR") + Bytes{track}, Bytes{formatType} + hex("00 02 02") + status + hex("12 34"));
}
// A score track of any format type: its header (format type, sequence type
// 0, the time-base codes of durations and gate times), channel status bytes
// and parts, such as the sequence part around its events.
inline Bytes scoreTrack(uint8_t track, uint8_t format, uint8_t durationBase, uint8_t gateBase, const Bytes &status,
                        const Bytes &parts) {
  return chunk(ascii("MTR") + Bytes{track}, Bytes{format, 0x00, durationBase, gateBase} + status + parts);
}
inline Bytes mtsq(const Bytes &sequence) { return chunk(ascii("Mtsq"), sequence); }
inline Bytes crcOf(const Bytes &bytes) { return be(crc16(bytes.data(), int32_t(bytes.size())), 2); }

// A well-formed SMAF image: the file chunk around the contents, closed by
// the CRC of everything before it, and whatever follows.
inline Bytes smaf(const Bytes &contents, const Bytes &after = {}) {
  Bytes image = ascii("MMMD") + be(uint32_t(contents.size() + 2), 4) + contents;
  return image + crcOf(image) + after;
}

inline Bytes ledTag(uint8_t channelFromZero) { return ascii("L2:") + Bytes{channelFromZero} + ascii(","); }
