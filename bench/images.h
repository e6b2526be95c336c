// Melody images for the benchmarks, made here: consistent files of about a
// given size that take every road a real conversion takes.
#pragma once

#include <cstdint>
#include <vector>

using ByteVector = std::vector<uint8_t>;

// An i-melody of version 2: a few header sub-chunks, then 16 tracks of note
// events, extended events with and without data, and now and then an old
// link event for the rewriter to drop.
ByteVector makeMelodyImage(uint32_t size);

// A SMAF image: a contents-info chunk holding two LED tags among other
// tags, four score tracks of HandyPhone notes, a large audio track, and the
// closing CRC.
ByteVector makeSmafImage(uint32_t size);

// A ring melody of real size, as long and as full as the longest real
// i-melody (about 15,000 notes on 16 channels in 78 KB): four tracks of a
// tune, a harmony, a bass, held chords, arpeggios, drums of short ticks and
// sparse parts, with volume and pan events along the way.
ByteVector makeRingMelodyImage();

// Bytes in which neither magic occurs, as in a file that is no melody:
// findFormat must look at all of them.
ByteVector makeNonMelodyImage(uint32_t size);
