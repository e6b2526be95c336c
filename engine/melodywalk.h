// The i-melody walk: the one reading of an image's chunks and events that
// both the rewriter and the inspector follow. The walk goes forward from
// offset 0 and tells a visitor what it meets; the visitor copies, counts or
// stops it. Every read stays inside the input.
//
// The image: a file chunk ("melo" or "cmid", 13 bytes: tag, file length,
// header length, three more bytes), header sub-chunks (tag, 2-byte length,
// data), audio-data chunks ("adat", 4-byte length, data) and track chunks
// ("trac", 4-byte length, events). A track or file chunk is honoured wherever
// it stands; any other chunk at or behind the file's declared end stops the
// walk, and what follows is carried through unread.
//
// An event is a delta-time byte, a status byte and what follows: a note (3
// bytes, or 4 when the "note" sub-chunk's flag is set) unless the status is
// an extended one, whose next byte, the extended status, tells its length:
// 4 bytes below 0xF0, else 5 plus the 2-byte data length at event offset 3.
// Every event lies inside its track: one that runs past the track's declared
// end would take the bytes behind it along, so it stops the walk.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/walk.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The link events that the rewriter writes; each recognised link pattern is
// its template without the leading delta-time byte.
inline constexpr uint8_t vibLinkTemplate[8] = {0x00, 0xFF, 0xFF, 0x00, 0x05, 0x11, 0xF2, 0x04};
inline constexpr uint8_t ledLinkTemplate[8] = {0x00, 0xFF, 0xFF, 0x00, 0x05, 0x11, 0xF2, 0x05};
inline constexpr uint8_t channelTableTemplate[9] = {0x00, 0xFF, 0xFF, 0x00, 0x14, 0x11, 0x01, 0xF2, 0x07};

enum LinkKind { LINK_NONE, LINK_VIBRATION, LINK_LED, LINK_TABLE };

struct MelodyWalkState {
  Walk io;  // io.inPos: where the walk stands
  bool haveFileChunk;
  uint64_t fileEnd;   // declared file length + 8; 0 until a file chunk is met
  uint32_t noteFlag;  // from "note": notes are 3 + noteFlag bytes
  uint8_t version;    // from "vers": its second data byte - '0'; 1 without one.
                      // Links are decided at the first track, so a "vers"
                      // behind it changes nothing.
  uint32_t tracks;    // track chunks met so far, the one being read included
  MelodyStop stop;
  uint64_t stopAt;  // where the walk stopped early
};

// A status byte names a voice in its top two bits and a key in its low six;
// the key 0x3F is none, and those four statuses (0x3F, 0x7F, 0xBF, 0xFF) open
// extended events.
inline bool isExtendedStatus(uint8_t status) { return (status & 0x3F) == 0x3F; }

// The length of the event at `at`, told by the bytes behind its delta time;
// false when those bytes lie past the input's end.
inline bool measureEvent(const Walk &io, uint64_t at, uint32_t noteFlag, uint64_t *length) {
  if (!inputHas(io, at, 2)) return false;
  if (!isExtendedStatus(io.in[at + 1])) {
    *length = 3 + noteFlag;
    return true;
  }
  if (!inputHas(io, at, 3)) return false;
  if (io.in[at + 2] < 0xF0) {
    *length = 4;
    return true;
  }
  if (!inputHas(io, at, 5)) return false;
  *length = 5 + uint64_t(readBE(io.in + at + 3, 2));
  return true;
}

// Which link event, if any, the extended event at `at` is. Every link
// pattern begins FF FF, so two bytes rule out nearly every event first. The
// channel bytes and the delta time are not compared.
inline LinkKind linkKind(const Walk &io, uint64_t at) {
  if (io.in[at + 1] != 0xFF || io.in[at + 2] != 0xFF) return LINK_NONE;
  const char *vib = reinterpret_cast<const char *>(vibLinkTemplate);
  const char *led = reinterpret_cast<const char *>(ledLinkTemplate);
  const char *table = reinterpret_cast<const char *>(channelTableTemplate);
  if (matchAt(io, at + 1, vib + 1, 7)) return LINK_VIBRATION;
  if (matchAt(io, at + 1, led + 1, 7)) return LINK_LED;
  if (matchAt(io, at + 1, table + 1, 8)) return LINK_TABLE;
  return LINK_NONE;
}

// Notes are passed while each begins before `limit`: one at a time, until
// the first with an extended status. The reference for skipNoteBlocks.
inline uint64_t skipNotesOneByOne(const uint8_t *in, uint64_t at, uint64_t limit, uint64_t noteLength) {
  while (at < limit && !isExtendedStatus(in[at + 1])) at += noteLength;
  return at;
}

// SORBELIN_NO_NOTE_BLOCKS leaves the one-by-one loop alone, to measure the
// difference.
#if defined(__SSE2__) && !defined(SORBELIN_NO_NOTE_BLOCKS)
// Bit i set for every byte i of the 16 that holds an extended status value.
inline uint64_t extendedBytes(const uint8_t *bytes) {
  const __m128i low6 = _mm_set1_epi8(0x3F);
  __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes));
  return uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(block, low6), low6))));
}

// The same for 64 bytes.
inline uint64_t extendedBytes64(const uint8_t *bytes) {
  return extendedBytes(bytes) | extendedBytes(bytes + 16) << 16 | extendedBytes(bytes + 32) << 32 |
         extendedBytes(bytes + 48) << 48;
}

// The status bytes of the notes that begin in 64 bytes: bit 1 of every note.
constexpr uint64_t statusBits(uint64_t noteLength) {
  uint64_t bits = 0;
  for (uint64_t k = 0; k < 64 / noteLength; ++k) bits |= uint64_t(1) << (k * noteLength + 1);
  return bits;
}

// Looks at the notes that begin in the next 64 bytes (21 of 3 bytes, or 16
// of 4) at a time, while the limit lies beyond the last of them (so that the
// 64 bytes lie inside the input): their status bytes stand at a fixed
// stride, so one test over the 64 bytes finds the first extended status among
// them, and the walk goes straight to its event (bit k * noteLength + 1 of
// the test stands for note k). The tail is left to skipNotesOneByOne.
template <uint64_t noteLength>
uint64_t skipNoteBlocksOf(const uint8_t *in, uint64_t at, uint64_t limit) {
  const uint64_t block = 64 / noteLength * noteLength, statuses = statusBits(noteLength);
  for (; at + 64 - noteLength < limit; at += block)
    if (uint64_t hits = extendedBytes64(in + at) & statuses) return at + uint64_t(__builtin_ctzll(hits)) - 1;
  return at;
}

inline uint64_t skipNoteBlocks(const uint8_t *in, uint64_t at, uint64_t limit, uint64_t noteLength) {
  return noteLength == 3 ? skipNoteBlocksOf<3>(in, at, limit) : skipNoteBlocksOf<4>(in, at, limit);
}
#else
inline uint64_t skipNoteBlocks(const uint8_t *, uint64_t at, uint64_t, uint64_t) { return at; }
#endif

// Most of a track is notes: they are passed while each begins before
// `limit`. Returns where the first other event (or the limit) stands.
inline uint64_t skipNotes(const uint8_t *in, uint64_t at, uint64_t limit, uint64_t noteLength) {
  at = skipNoteBlocks(in, at, limit, noteLength);
  return skipNotesOneByOne(in, at, limit, noteLength);
}

// Notes are passed while each begins before the limit: the track's end, and
// no later than where a note would run past the input's end.
inline uint64_t noteLimit(const Walk &io, uint64_t end, uint64_t noteLength) {
  return io.inLength < noteLength ? 0 : std::min(end, io.inLength - noteLength + 1);
}

// Ends the walk early; always false, so that callers can return it.
inline bool stopMelodyWalk(MelodyWalkState &w, MelodyStop stop, uint64_t at) {
  w.stop = stop;
  w.stopAt = at;
  return false;
}

// The visitor is a plain record V; the walk calls these functions of it,
// each returning false to stop the walk (after setting w.stop through
// stopMelodyWalk):
//   onFileChunk(v, w)                 the 13-byte file chunk at w.io.inPos
//   onHeaderChunk(v, w, size)         a header sub-chunk of `size` bytes at w.io.inPos
//   onAudioChunk(v, w, size)          an audio-data chunk of `size` bytes at w.io.inPos
//   onTrackStart(v, w, declared)      the 8-byte head of a track at w.io.inPos
//   onNotes(v, w, from, to)           notes from `from` up to `to`
//   onEvent(v, w, at, length, link)   an extended event
//   onTrackEnd(v, w, eventsEnd)       after the track's events, which reached eventsEnd
// Everything handed over lies inside the input; after a chunk the walk goes
// on behind it.
template <class V>
bool walkTrackEvents(MelodyWalkState &w, V &visitor, uint64_t begin, uint64_t end) {
  const Walk &io = w.io;
  uint64_t noteLength = 3 + w.noteFlag, at = begin, limit = noteLimit(io, end, noteLength);
  for (;;) {
    // The last note passed may begin before the end and run past it.
    uint64_t notesEnd = skipNotes(io.in, at, limit, noteLength);
    uint64_t inside = notesEnd > end ? notesEnd - noteLength : notesEnd;
    if (inside > at && !onNotes(visitor, w, at, inside)) return false;
    if (inside < notesEnd) return stopMelodyWalk(w, MELODY_EVENT_PAST_TRACK, inside);
    at = notesEnd;
    if (at >= end) break;
    uint64_t length = 0;
    if (!measureEvent(io, at, w.noteFlag, &length) || !inputHas(io, at, length))
      return stopMelodyWalk(w, MELODY_TRACK_CUT, at);
    if (length > end - at) return stopMelodyWalk(w, MELODY_EVENT_PAST_TRACK, at);
    // Notes that lie inside the input were passed above, so this is an
    // extended event.
    if (!onEvent(visitor, w, at, length, linkKind(io, at))) return false;
    at += length;
  }
  return onTrackEnd(visitor, w, at);
}

template <class V>
bool walkTrack(MelodyWalkState &w, V &visitor) {
  uint64_t head = w.io.inPos;
  ++w.tracks;
  if (!inputHas(w.io, head, 8)) return stopMelodyWalk(w, MELODY_TRACK_HEAD_CUT, head);
  uint64_t declared = readBE(w.io.in + head + 4, 4);
  if (!onTrackStart(visitor, w, declared)) return false;
  if (!walkTrackEvents(w, visitor, head + 8, head + 8 + declared)) return false;
  w.io.inPos = head + 8 + declared;  // the declared length decides where the walk goes on
  return true;
}

// A file has one file chunk: the lengths of a second one and of the first
// cannot both count what follows them.
template <class V>
bool walkFileChunk(MelodyWalkState &w, V &visitor) {
  uint64_t at = w.io.inPos;
  if (w.haveFileChunk) return stopMelodyWalk(w, MELODY_SECOND_FILE_CHUNK, at);
  if (!inputHas(w.io, at, 13)) return stopMelodyWalk(w, MELODY_FILE_CHUNK_CUT, at);
  w.haveFileChunk = true;
  w.fileEnd = uint64_t(readBE(w.io.in + at + 4, 4)) + 8;
  if (!onFileChunk(visitor, w)) return false;
  w.io.inPos = at + 13;
  return true;
}

template <class V>
bool walkAudioChunk(MelodyWalkState &w, V &visitor) {
  uint64_t at = w.io.inPos;
  if (!inputHas(w.io, at, 8)) return stopMelodyWalk(w, MELODY_AUDIO_CUT, at);
  uint64_t size = 8 + uint64_t(readBE(w.io.in + at + 4, 4));
  if (!inputHas(w.io, at, size)) return stopMelodyWalk(w, MELODY_AUDIO_CUT, at);
  if (!onAudioChunk(visitor, w, size)) return false;
  w.io.inPos = at + size;
  return true;
}

// Any other chunk: "note" and "vers" are read from their second data byte,
// whatever their length says.
template <class V>
bool walkHeaderChunk(MelodyWalkState &w, V &visitor) {
  const Walk &io = w.io;
  uint64_t at = io.inPos;
  if (!inputHas(io, at, 6)) return stopMelodyWalk(w, MELODY_HEADER_CUT, at);
  uint64_t size = 6 + uint64_t(readBE(io.in + at + 4, 2));
  bool isNote = matchAt(io, at, "note", 4), isVers = matchAt(io, at, "vers", 4);
  if (!inputHas(io, at, size) || ((isNote || isVers) && !inputHas(io, at, 8)))
    return stopMelodyWalk(w, MELODY_HEADER_CUT, at);
  if (isNote) w.noteFlag = io.in[at + 7] != 0;
  if (isVers && w.tracks == 0) w.version = uint8_t(io.in[at + 7] - 0x30);
  if (!onHeaderChunk(visitor, w, size)) return false;
  w.io.inPos = at + size;
  return true;
}

// Walks the whole image. Returns true when it reached the input's end or
// the file's declared end; w.io.inPos is then where the unread tail begins.
template <class V>
bool walkMelody(MelodyWalkState &w, V &visitor) {
  while (w.io.inPos < w.io.inLength) {
    const Walk &io = w.io;
    bool ok;
    if (matchAt(io, io.inPos, "melo", 4) || matchAt(io, io.inPos, "cmid", 4))
      ok = walkFileChunk(w, visitor);
    else if (matchAt(io, io.inPos, "trac", 4))
      ok = walkTrack(w, visitor);
    else if (w.fileEnd != 0 && io.inPos >= w.fileEnd)
      break;
    else if (matchAt(io, io.inPos, "adat", 4))
      ok = walkAudioChunk(w, visitor);
    else
      ok = walkHeaderChunk(w, visitor);
    if (!ok) return false;
  }
  return true;
}

inline MelodyWalkState startMelodyWalk(const uint8_t *in, uint64_t inLength, uint8_t *out, uint64_t outCapacity) {
  MelodyWalkState w = {};
  w.io = {in, inLength, out, outCapacity, 0, 0};
  w.version = 1;
  return w;
}

// The converter needs a file chunk for the lengths, standing before the
// first audio or track chunk. A reader that reports what the converter would
// find notes both as the walk meets them and checks them after it.
struct MelodyOrder {
  bool haveBody;
  uint64_t bodyAt;  // the first audio or track chunk
  uint64_t fileChunkAt;
};

inline void markBody(MelodyOrder &order, uint64_t at) {
  if (order.haveBody) return;
  order.haveBody = true;
  order.bodyAt = at;
}

inline bool checkMelodyOrder(const MelodyOrder &order, MelodyWalkState &w) {
  if (!w.haveFileChunk) return stopMelodyWalk(w, MELODY_NO_FILE_CHUNK, w.io.inPos);
  if (order.haveBody && order.bodyAt < order.fileChunkAt) return stopMelodyWalk(w, MELODY_BODY_FIRST, order.bodyAt);
  return true;
}

// Where the walk stopped, as the reports tell it: a stop inside a track
// names the track.
inline StopPlace melodyStopPlace(const MelodyWalkState &w) {
  bool inTrack = w.stop == MELODY_TRACK_CUT || w.stop == MELODY_TRACK_HEAD_CUT || w.stop == MELODY_EVENT_PAST_TRACK;
  return {w.stop, w.stopAt, inTrack ? w.tracks : 0};
}
