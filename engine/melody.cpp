#include "engine/melody.h"

#include <algorithm>
#include <cstring>

#include "engine/convert.h"
#include "engine/walk.h"

namespace {

// Link events written into the first track; each recognised link pattern is
// its template without the leading delta-time byte.
const uint8_t vibLinkTemplate[8] = {0x00, 0xFF, 0xFF, 0x00, 0x05, 0x11, 0xF2, 0x04};
const uint8_t ledLinkTemplate[8] = {0x00, 0xFF, 0xFF, 0x00, 0x05, 0x11, 0xF2, 0x05};
const uint8_t channelTableTemplate[9] = {0x00, 0xFF, 0xFF, 0x00, 0x14, 0x11, 0x01, 0xF2, 0x07};

struct MelodyWalk {
  Walk io;
  bool haveFileChunk;
  uint64_t fileChunkOut;
  uint64_t fileEnd;  // declared file length + 8; 0 until a file chunk is met
  bool haveFirstTrack;
  bool haveHeaderEnd;
  uint64_t headerEndOut;  // where the first audio or track chunk was copied
  uint32_t noteFlag;
  uint8_t melodyVersion;
};

// Every link pattern begins FF FF (an extended event with data and status
// 0xFF), so two bytes rule out nearly every event before the patterns are
// compared. The event at `at` lies inside the input and has its 3 bytes at
// least.
bool isLinkEvent(const Walk &io, uint64_t at) {
  if (io.in[at + 1] != 0xFF || io.in[at + 2] != 0xFF) return false;
  const char *table = reinterpret_cast<const char *>(channelTableTemplate);
  return matchAt(io, at + 1, reinterpret_cast<const char *>(vibLinkTemplate) + 1, 7) ||
         matchAt(io, at + 1, reinterpret_cast<const char *>(ledLinkTemplate) + 1, 7) ||
         matchAt(io, at + 1, table + 1, 8);
}

// A status byte names a voice in its top two bits and a key in its low six;
// the key 0x3F is none, and those four statuses (0x3F, 0x7F, 0xBF, 0xFF) open
// extended events.
inline bool isExtendedStatus(uint8_t status) { return (status & 0x3F) == 0x3F; }

// The length of the event at `at`, told by the bytes behind its delta time;
// false when those bytes lie past the input's end.
bool measureEvent(const Walk &io, uint64_t at, uint32_t noteFlag, uint64_t *length) {
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

// A vibration or LED link event naming one channel (1 to 16).
bool emitChannelLink(Walk &io, const uint8_t *linkTemplate, uint8_t channel) {
  uint8_t event[10];
  std::memcpy(event, linkTemplate, 8);
  event[8] = uint8_t(0x20 + 0x40 * ((channel - 1) % 4));
  event[9] = uint8_t((channel - 1) / 4);
  return emit(io, event, sizeof event);
}

// The table event linking every selected channel: bit 1 vibration, bit 0 LED.
bool emitChannelTable(Walk &io, uint16_t vibMask, uint16_t ledMask) {
  uint8_t event[25];
  std::memcpy(event, channelTableTemplate, 9);
  for (int i = 0; i < 16; ++i)
    event[9 + i] = uint8_t(2 * ((vibMask >> i) & 1) + ((ledMask >> i) & 1));
  return emit(io, event, sizeof event);
}

// Version 2 names the lowest channel of each mask; version 3 carries both
// whole masks; other versions get nothing.
bool insertLinks(MelodyWalk &m) {
  const ConversionSettings &cs = conversionSettings;
  if (m.melodyVersion == 2) {
    if (cs.vibChannel && !emitChannelLink(m.io, vibLinkTemplate, cs.vibChannel)) return false;
    if (cs.ledChannel && !emitChannelLink(m.io, ledLinkTemplate, cs.ledChannel)) return false;
  } else if (m.melodyVersion == 3 && (cs.vibChannel || cs.ledChannel)) {
    return emitChannelTable(m.io, cs.vibMask, cs.ledMask);
  }
  return true;
}

bool copyFileChunk(MelodyWalk &m) {
  Walk &io = m.io;
  if (!inputHas(io, io.inPos, 13)) return false;
  m.haveFileChunk = true;
  m.fileChunkOut = io.outPos;
  m.fileEnd = uint64_t(readBE(io.in + io.inPos + 4, 4)) + 8;
  return copyThrough(io, 13);
}

// Most of a track is note events, whose status is not an extended one: they
// are passed in a tight loop while each begins before `end` and lies inside
// the input. Each is kept, since a link event's status is 0xFF. Returns
// where the first other event (or the track's end) stands.
uint64_t skipNotes(const Walk &io, uint64_t at, uint64_t end, uint64_t noteLength) {
  uint64_t limit = io.inLength < noteLength ? 0 : std::min(end, io.inLength - noteLength + 1);
  while (at < limit && !isExtendedStatus(io.in[at + 1])) at += noteLength;
  return at;
}

// A link event is dropped. Its delta time, the wait since the event before,
// stays as a no-op event (extended status 0xDE) when it is not 0, so that
// every later event of the track sounds when it did.
bool dropLinkEvent(Walk &io, uint64_t at) {
  uint8_t delta = io.in[at];
  const uint8_t noOperation[4] = {delta, 0xFF, 0xDE, 0x00};
  return delta == 0 || emit(io, noOperation, sizeof noOperation);
}

// Copies the events of a track of declared length `declared`, dropping link
// events. Kept events follow one another in the input, so each run of them
// between two dropped ones is copied at once. An event that runs past the
// declared end is copied whole; the walk then goes on at the declared end.
bool copyEvents(MelodyWalk &m, uint64_t declared) {
  Walk &io = m.io;
  uint64_t end = io.inPos + declared, at = io.inPos, runStart = at;
  while ((at = skipNotes(io, at, end, 3 + m.noteFlag)) < end) {
    uint64_t length = 0;
    if (!measureEvent(io, at, m.noteFlag, &length) || !inputHas(io, at, length)) return false;
    if (isLinkEvent(io, at)) {
      if (!emit(io, io.in + runStart, at - runStart) || !dropLinkEvent(io, at)) return false;
      runStart = at + length;
    }
    at += length;
  }
  if (!emit(io, io.in + runStart, at - runStart)) return false;
  io.inPos = end;
  return true;
}

// The header ends where the first audio or track chunk begins.
void markHeaderEnd(MelodyWalk &m, uint64_t chunkOut) {
  if (m.haveHeaderEnd) return;
  m.haveHeaderEnd = true;
  m.headerEndOut = chunkOut;
}

bool copyTrack(MelodyWalk &m) {
  Walk &io = m.io;
  if (!inputHas(io, io.inPos, 8)) return false;
  uint64_t declared = readBE(io.in + io.inPos + 4, 4);
  uint64_t trackOut = io.outPos;
  if (!copyThrough(io, 8)) return false;
  markHeaderEnd(m, trackOut);
  if (!m.haveFirstTrack) {
    m.haveFirstTrack = true;
    if (!insertLinks(m)) return false;
  }
  if (!copyEvents(m, declared)) return false;
  writeBE(io.out + trackOut + 4, uint32_t(io.outPos - trackOut - 8), 4);
  return true;
}

// An audio-data chunk ("adat") is copied whole by its 4-byte length.
bool copyAudio(MelodyWalk &m) {
  Walk &io = m.io;
  if (!inputHas(io, io.inPos, 8)) return false;
  markHeaderEnd(m, io.outPos);
  return copyThrough(io, 8 + uint64_t(readBE(io.in + io.inPos + 4, 4)));
}

// Any other chunk: copied whole; "note" and "vers" are read on the way, from
// their second data byte whatever their length says.
bool copySubChunk(MelodyWalk &m) {
  Walk &io = m.io;
  if (!inputHas(io, io.inPos, 6)) return false;
  uint64_t length = readBE(io.in + io.inPos + 4, 2);
  bool isNote = matchAt(io, io.inPos, "note", 4), isVers = matchAt(io, io.inPos, "vers", 4);
  if ((isNote || isVers) && !inputHas(io, io.inPos, 8)) return false;
  if (isNote) m.noteFlag = io.in[io.inPos + 7] != 0;
  if (isVers) m.melodyVersion = uint8_t(io.in[io.inPos + 7] - 0x30);
  return copyThrough(io, length + 6);
}

bool walkChunks(MelodyWalk &m) {
  Walk &io = m.io;
  while (io.inPos < io.inLength) {
    bool ok;
    if (matchAt(io, io.inPos, "melo", 4) || matchAt(io, io.inPos, "cmid", 4))
      ok = copyFileChunk(m);
    else if (matchAt(io, io.inPos, "trac", 4))
      ok = copyTrack(m);
    else if (m.fileEnd != 0 && io.inPos >= m.fileEnd)
      break;  // what follows the file's declared end is carried through
    else if (matchAt(io, io.inPos, "adat", 4))
      ok = copyAudio(m);
    else
      ok = copySubChunk(m);
    if (!ok) return false;
  }
  return true;
}

// The header length counts from offset 10 of the file chunk to the first
// audio or track chunk; the file length from offset 8 to the end of the
// walked chunks.
bool writeFileLengths(MelodyWalk &m) {
  Walk &io = m.io;
  if (!m.haveFileChunk) return false;
  markHeaderEnd(m, io.outPos);
  if (m.headerEndOut < m.fileChunkOut + 10) return false;
  writeBE(io.out + m.fileChunkOut + 8, uint32_t(m.headerEndOut - m.fileChunkOut - 10), 2);
  writeBE(io.out + m.fileChunkOut + 4, uint32_t(io.outPos - m.fileChunkOut - 8), 4);
  return true;
}

}  // namespace

int rewriteMelody(const MemBlock *input, MemBlock *output) {
  ConversionReport &report = conversionSettings.report;
  std::memset(&report, 0, sizeof report);
  output->length = 0;
  MelodyWalk m = {};
  m.io = {input->data, input->length, output->data, uint64_t(input->length) + outputHeadroom, 0, 0};
  m.melodyVersion = 1;
  if (!walkChunks(m) || !writeFileLengths(m) || !copyThrough(m.io, m.io.inLength - m.io.inPos))
    return 0;
  output->length = uint32_t(m.io.outPos);
  report.formatKind = FORMAT_IMELODY;
  report.formatVersion = m.melodyVersion;
  return 1;
}
