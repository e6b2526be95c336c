// The SMAF walk: the one reading of an image's chunks that both the rewriter
// and the inspector follow. It goes forward from offset 0 and tells a
// visitor what it meets. Every read stays inside the input.
//
// The image: a file chunk ("MMMD", 4-byte length L counting everything
// behind it up to and including the 2-byte CRC that closes it), whose inner
// chunks (4-byte id, 4-byte data length N, data) follow its header at the
// same level; then any bytes, which belong to no chunk. The walk enters the
// file chunk header it meets and stops at the first chunk position at or past
// its CRC.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/walk.h"

// A score track as the walk reads it: its number (the fourth byte of its
// id) and how many channel status bytes it has, from data offset 4; 0 when
// the walk reads none there.
struct ScoreTrack {
  uint8_t number;
  uint32_t statusBytes;
};

struct SmafWalkState {
  Walk io;                 // io.inPos: where the walk stands
  bool strictTracks6And7;  // a score track 6 or 7 too short for its status stops the walk
  ScoreTrack scoreTrack;   // the score track that onSmafChunk is visiting
  bool haveFileChunk;
  uint64_t fileEnd;        // input offset just past the file chunk; 0 until one is met
  uint8_t scoreTrackType;  // 1, or 2 or 3 by the last score track 0 to 5 met
  uint32_t chunks;         // inner chunks met so far, the one being read included
  SmafStop stop;
  uint64_t stopAt;
};

// A chunk before the first file chunk is walked (the converter copies it)
// but is no part of the file that a phone reads: readers of the file skip it.
inline bool insideFileChunk(const SmafWalkState &w) { return w.haveFileChunk; }

// The chunk at the walk's position is an audio track: "ATR" and its number.
inline bool isAudioTrack(const SmafWalkState &w) { return matchAt(w.io, w.io.inPos, "ATR", 3); }

// Ends the walk early; always false, so that callers can return it.
inline bool stopSmafWalk(SmafWalkState &w, SmafStop stop, uint64_t at) {
  w.stop = stop;
  w.stopAt = at;
  return false;
}

// Contents-info option data is a run of tags, each ended by ","; the last
// may lack it. The end of the tag that begins at `pos`, its "," included.
inline uint64_t optionTagEnd(const Walk &io, uint64_t pos, uint64_t end) {
  const void *comma = std::memchr(io.in + pos, ',', size_t(end - pos));
  return comma ? uint64_t(static_cast<const uint8_t *>(comma) - io.in) + 1 : end;
}

// A tag is told by its first three bytes, taken as they stand in the input:
// at the end of the option data they run on into what follows the chunk.
inline bool isOptionTag(const Walk &io, uint64_t pos, const char *name) { return matchAt(io, pos, name, 3); }

// The LED tag, "L2:" and the LED channel counted from 0.
inline bool isLedTag(const Walk &io, uint64_t pos) { return isOptionTag(io, pos, "L2:"); }

// Where a score track keeps a channel's bit: the byte at `offset` of the
// chunk, bit `bit`.
struct ChannelBit {
  uint32_t offset;
  uint8_t bit;
};

// The most channels that a score track's status names.
inline constexpr int scoreTrackChannels = 32;

// The status bytes of a score track at `at` with `dataLength` bytes of
// data: tracks 0 to 4 have two, one nibble per channel; track 5 sixteen, one
// byte per channel; tracks 6 and 7 one byte per channel as their format type
// (data offset 0) says: 16 for types 1 and 2, 32 for type 3, none for the
// others. Other tracks: none.
inline uint32_t channelStatusBytes(const Walk &io, uint8_t track, uint64_t at, uint64_t dataLength) {
  if (track <= 4) return 2;
  if (track == 5) return 16;
  if (track > 7 || dataLength == 0) return 0;
  uint8_t formatType = io.in[at + 8];
  return formatType == 1 || formatType == 2 ? 16 : formatType == 3 ? 32 : 0;
}

// In a track of one status byte per channel, channel index k's bit `bit`.
inline bool statusByteBit(const ScoreTrack &track, int k, uint8_t bit, ChannelBit *where) {
  if (k < 0 || uint32_t(k) >= track.statusBytes) return false;
  *where = {uint32_t(12 + k), bit};
  return true;
}

// The vibration bit of channel index k (0 to 31) in a score track. Tracks 0
// to 4 cover four channels each, two per byte (tracks 0 and 1 both channels
// 1 to 4); tracks 5 to 7 one channel per status byte, bit 0x20. False when
// the track holds none for that channel.
inline bool vibrationBit(const ScoreTrack &track, int k, ChannelBit *where) {
  if (track.number >= 5) return statusByteBit(track, k, 0x20, where);
  int first = track.number == 0 ? 0 : 4 * (track.number - 1);
  if (k < first || k >= first + 4) return false;
  int i = k - first;
  *where = {uint32_t(12 + i / 2), uint8_t(i % 2 ? 0x04 : 0x40)};
  return true;
}

// The LED bit of channel index k: tracks 5 to 7 have them, bit 0x10.
inline bool ledBit(const ScoreTrack &track, int k, ChannelBit *where) {
  return track.number >= 5 && statusByteBit(track, k, 0x10, where);
}

// What the score tracks of a file link, bit k for channel k + 1: the
// channels whose vibration and LED bits are set, and the channels that have
// such bits at all: vibration in tracks 0 to 5, LED in track 5, and both in
// tracks 6 and 7, which a conversion rewrites only when asked to.
struct ScoreTrackLinks {
  uint32_t vibration;
  uint32_t led;
  uint32_t vibPlaces;
  uint32_t ledPlaces;
  uint32_t laterPlaces;
};

// Adds the links of one score track, whose chunk begins at `chunk`.
inline void addScoreTrackLinks(const ScoreTrack &track, const uint8_t *chunk, ScoreTrackLinks *links) {
  bool later = track.number >= 6;
  for (int k = 0; k < scoreTrackChannels; ++k) {
    uint32_t bit = uint32_t(1) << k;
    ChannelBit where;
    if (vibrationBit(track, k, &where)) {
      (later ? links->laterPlaces : links->vibPlaces) |= bit;
      if (chunk[where.offset] & where.bit) links->vibration |= bit;
    }
    if (ledBit(track, k, &where)) {
      (later ? links->laterPlaces : links->ledPlaces) |= bit;
      if (chunk[where.offset] & where.bit) links->led |= bit;
    }
  }
}

// Channel index k is of the kind "rhythm" (drums: a fixed drum sound
// whatever its key): bits 1-0 of its status byte are 3, in tracks 5 to 7,
// whose status has one byte per channel. `chunk` is the track's chunk.
inline bool rhythmChannel(const ScoreTrack &track, const uint8_t *chunk, int k) {
  ChannelBit where;
  return track.number >= 5 && statusByteBit(track, k, 0x03, &where) && (chunk[where.offset] & 0x03) == 0x03;
}

// The visitor is a plain record V; the walk calls these functions of it,
// each returning false to stop the walk (after setting w.stop through
// stopSmafWalk):
//   onSmafFileChunk(v, w)                   the 8-byte file chunk header at w.io.inPos
//   onSmafContentsInfo(v, w, dataLength)    a "CNTI" chunk at w.io.inPos
//   onSmafChunk(v, w, dataLength, track)    any other chunk; track is the score
//                                           track number, or -1 for no score track;
//                                           w.scoreTrack tells its status bytes,
//                                           which the walk has checked lie inside it
// Everything handed over lies inside the input; after a chunk the walk goes
// on behind it.
// A file has one file chunk, whose declared length holds at least its CRC:
// the length and CRC of a second one and of the first cannot both be right.
template <class V>
bool walkSmafFileChunk(SmafWalkState &w, V &visitor) {
  uint64_t at = w.io.inPos;
  if (w.haveFileChunk) return stopSmafWalk(w, SMAF_SECOND_FILE_CHUNK, at);
  if (!inputHas(w.io, at, 8)) return stopSmafWalk(w, SMAF_FILE_CHUNK_CUT, at);
  uint32_t declared = readBE(w.io.in + at + 4, 4);
  if (declared < 2) return stopSmafWalk(w, SMAF_FILE_CHUNK_SHORT, at);
  w.haveFileChunk = true;
  w.fileEnd = at + 8 + declared;
  if (!onSmafFileChunk(visitor, w)) return false;
  w.io.inPos = at + 8;
  return true;
}

template <class V>
bool walkSmafChunk(SmafWalkState &w, V &visitor) {
  const Walk &io = w.io;
  uint64_t at = io.inPos;
  ++w.chunks;
  if (!inputHas(io, at, 8)) return stopSmafWalk(w, SMAF_CHUNK_CUT, at);
  uint64_t dataLength = readBE(io.in + at + 4, 4);
  if (!inputHas(io, at, 8 + dataLength)) return stopSmafWalk(w, SMAF_CHUNK_CUT, at);
  bool ok;
  if (matchAt(io, at, "CNTI", 4)) {
    if (dataLength < 5) return stopSmafWalk(w, SMAF_CONTENTS_SHORT, at);
    ok = onSmafContentsInfo(visitor, w, dataLength);
  } else if (matchAt(io, at, "MTR", 3)) {
    uint8_t track = io.in[at + 3];
    w.scoreTrack = {track, channelStatusBytes(io, track, at, dataLength)};
    // The status bytes follow the four fixed bytes of the track's data. A
    // track 6 or 7 too short for them has no status to read, unless the
    // walk is to rewrite it.
    if (w.scoreTrack.statusBytes && dataLength < 4 + w.scoreTrack.statusBytes) {
      if (track <= 5 || w.strictTracks6And7) return stopSmafWalk(w, SMAF_SCORE_TRACK_SHORT, at);
      w.scoreTrack.statusBytes = 0;
    }
    if (track <= 5) w.scoreTrackType = track == 0 ? 1 : track == 5 ? 3 : 2;
    ok = onSmafChunk(visitor, w, dataLength, int(track));
  } else {
    ok = onSmafChunk(visitor, w, dataLength, -1);
  }
  if (!ok) return false;
  w.io.inPos = at + 8 + dataLength;
  return true;
}

// Walks the chunks. Returns true when it reached the CRC of the last file
// chunk or the input's end; w.io.inPos is then where the CRC would stand.
template <class V>
bool walkSmaf(SmafWalkState &w, V &visitor) {
  while (w.io.inPos < w.io.inLength) {
    bool ok;
    if (matchAt(w.io, w.io.inPos, "MMMD", 4))
      ok = walkSmafFileChunk(w, visitor);
    else if (w.fileEnd != 0 && w.io.inPos + 2 >= w.fileEnd)
      break;
    else
      ok = walkSmafChunk(w, visitor);
    if (!ok) return false;
  }
  return w.haveFileChunk || stopSmafWalk(w, SMAF_NO_FILE_CHUNK, w.io.inPos);
}

inline SmafWalkState startSmafWalk(const uint8_t *in, uint64_t inLength, uint8_t *out, uint64_t outCapacity) {
  SmafWalkState w = {};
  w.io = {in, inLength, out, outCapacity, 0, 0};
  w.scoreTrackType = 1;
  return w;
}

// The walk of a reader of the file (the inspector, the timeline).
inline SmafWalkState startSmafReading(const uint8_t *in, uint64_t inLength) {
  return startSmafWalk(in, inLength, nullptr, 0);
}

// Where the walk stopped, as the reports tell it: a chunk cut short names
// the chunk, a short score track its track number.
inline StopPlace smafStopPlace(const SmafWalkState &w) {
  uint32_t number = 0;
  if (w.stop == SMAF_CHUNK_CUT || w.stop == SMAF_CONTENTS_SHORT) number = w.chunks;
  if (w.stop == SMAF_SCORE_TRACK_SHORT) number = w.io.in[w.stopAt + 3];
  return {w.stop, w.stopAt, number};
}
