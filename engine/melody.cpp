#include "engine/melody.h"

#include <cstring>

#include "engine/format.h"
#include "engine/melodywalk.h"
#include "engine/rewrite.h"

namespace {

// The rewrite copies the image as the walk meets it, dropping link events
// and writing new ones at the start of the first track. Kept events follow
// one another in the input, so a track's events are copied in runs from
// `runStart` up to each dropped event and to the track's end.
struct MelodyRewrite {
  const LinkChoice *choice;
  CarriedLinks carried;  // what the inserted link events name
  bool haveFirstTrack;
  bool haveHeaderEnd;
  uint64_t headerEndOut;  // where the first audio or track chunk was copied
  uint64_t fileChunkOut;
  uint64_t trackOut;
  uint64_t runStart;
};

bool copy(MelodyWalkState &w, uint64_t count) {
  return copyThrough(w.io, count) || stopMelodyWalk(w, MELODY_FULL, w.io.inPos);
}

bool put(MelodyWalkState &w, const uint8_t *bytes, uint64_t count) {
  return emit(w.io, bytes, count) || stopMelodyWalk(w, MELODY_FULL, w.io.inPos);
}

// The header ends where the first audio or track chunk begins.
void markHeaderEnd(MelodyRewrite &r, uint64_t chunkOut) {
  if (r.haveHeaderEnd) return;
  r.haveHeaderEnd = true;
  r.headerEndOut = chunkOut;
}

// A vibration or LED link event naming one channel (1 to 16).
bool putChannelLink(MelodyWalkState &w, const uint8_t *linkTemplate, uint8_t channel) {
  uint8_t event[10];
  std::memcpy(event, linkTemplate, 8);
  event[8] = uint8_t(0x20 + 0x40 * ((channel - 1) % 4));
  event[9] = uint8_t((channel - 1) / 4);
  return put(w, event, sizeof event);
}

// The table event linking every selected channel: bit 1 vibration, bit 0 LED.
bool putChannelTable(MelodyWalkState &w, uint16_t vibMask, uint16_t ledMask) {
  uint8_t event[25];
  std::memcpy(event, channelTableTemplate, 9);
  for (int i = 0; i < 16; ++i) event[9 + i] = uint8_t(2 * ((vibMask >> i) & 1) + ((ledMask >> i) & 1));
  return put(w, event, sizeof event);
}

uint32_t channelBit(uint8_t channel) { return channel ? uint32_t(1) << (channel - 1) : 0; }

// Version 2 names the lowest channel of each mask; version 3 carries both
// whole masks; other versions get nothing. Every link event met in the
// tracks is dropped, so the inserted ones are all that the file links.
bool insertLinks(MelodyRewrite &r, MelodyWalkState &w) {
  const LinkChoice &c = *r.choice;
  if (w.version == 2) {
    if (c.vibChannel && !putChannelLink(w, vibLinkTemplate, c.vibChannel)) return false;
    if (c.ledChannel && !putChannelLink(w, ledLinkTemplate, c.ledChannel)) return false;
    r.carried.vibration = channelBit(c.vibChannel);
    r.carried.led = channelBit(c.ledChannel);
  } else if (w.version == 3 && (c.vibChannel || c.ledChannel)) {
    if (!putChannelTable(w, c.vibMask, c.ledMask)) return false;
    r.carried.vibration = c.vibMask;
    r.carried.led = c.ledMask;
  }
  return true;
}

// A dropped link event's delta time, the wait since the event before, stays
// as a no-op event (extended status 0xDE) when it is not 0, so that every
// later event of the track sounds when it did.
bool dropLinkEvent(MelodyWalkState &w, uint64_t at) {
  uint8_t delta = w.io.in[at];
  const uint8_t noOperation[4] = {delta, 0xFF, 0xDE, 0x00};
  return delta == 0 || put(w, noOperation, sizeof noOperation);
}

bool onFileChunk(MelodyRewrite &r, MelodyWalkState &w) {
  r.fileChunkOut = w.io.outPos;
  return copy(w, 13);
}

bool onHeaderChunk(MelodyRewrite &, MelodyWalkState &w, uint64_t size) { return copy(w, size); }

bool onAudioChunk(MelodyRewrite &r, MelodyWalkState &w, uint64_t size) {
  markHeaderEnd(r, w.io.outPos);
  r.carried.recordedSound = true;
  return copy(w, size);
}

bool onTrackStart(MelodyRewrite &r, MelodyWalkState &w, uint64_t) {
  r.trackOut = w.io.outPos;
  markHeaderEnd(r, r.trackOut);
  if (!copy(w, 8)) return false;
  r.runStart = w.io.inPos;
  if (r.haveFirstTrack) return true;
  r.haveFirstTrack = true;
  return insertLinks(r, w);
}

bool onNotes(MelodyRewrite &, MelodyWalkState &, uint64_t, uint64_t) { return true; }

bool onEvent(MelodyRewrite &r, MelodyWalkState &w, uint64_t at, uint64_t length, LinkKind link) {
  if (link == LINK_NONE) return true;
  if (!put(w, w.io.in + r.runStart, at - r.runStart) || !dropLinkEvent(w, at)) return false;
  r.runStart = at + length;
  return true;
}

bool onTrackEnd(MelodyRewrite &r, MelodyWalkState &w, uint64_t eventsEnd) {
  if (!put(w, w.io.in + r.runStart, eventsEnd - r.runStart)) return false;
  writeBE(w.io.out + r.trackOut + 4, uint32_t(w.io.outPos - r.trackOut - 8), 4);
  return true;
}

// The header length counts from offset 10 of the file chunk to the first
// audio or track chunk; the file length from offset 8 to the end of the
// walked chunks.
bool writeFileLengths(MelodyRewrite &r, MelodyWalkState &w) {
  Walk &io = w.io;
  if (!w.haveFileChunk) return stopMelodyWalk(w, MELODY_NO_FILE_CHUNK, io.inPos);
  markHeaderEnd(r, io.outPos);
  if (r.headerEndOut < r.fileChunkOut + 10) return stopMelodyWalk(w, MELODY_BODY_FIRST, io.inPos);
  writeBE(io.out + r.fileChunkOut + 8, uint32_t(r.headerEndOut - r.fileChunkOut - 10), 2);
  writeBE(io.out + r.fileChunkOut + 4, uint32_t(io.outPos - r.fileChunkOut - 8), 4);
  return true;
}

ConversionResult given(const MelodyWalkState &w, const MelodyRewrite &r) {
  CarriedLinks carried = r.carried;
  carried.tracks = w.tracks;
  return rewriteResult(FORMAT_IMELODY, w.version, melodyStopPlace(w), w.io.outPos, carried);
}

}  // namespace

ConversionResult rewriteMelodyImage(const uint8_t *input, uint64_t length, uint8_t *output, uint64_t capacity,
                                    const LinkChoice &choice) {
  MelodyWalkState w = startMelodyWalk(input, length, output, capacity);
  MelodyRewrite r = {};
  r.choice = &choice;
  // What follows the walk's end is carried through unread.
  if (walkMelody(w, r) && writeFileLengths(r, w)) copy(w, w.io.inLength - w.io.inPos);
  return given(w, r);
}

int rewriteMelody(const MemBlock *input, MemBlock *output) {
  return rewriteWithSettings(rewriteMelodyImage, input, output);
}
