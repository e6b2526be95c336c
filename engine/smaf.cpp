#include "engine/smaf.h"

#include <cstring>

#include "engine/format.h"
#include "engine/rewrite.h"
#include "engine/smafwalk.h"

namespace {

// The rewrite copies every chunk as the walk meets it, but for the LED tag
// of the contents-info chunk and the channel status bits of score tracks.
struct SmafRewrite {
  const LinkChoice *choice;
  uint64_t fileChunkOut;
  // What the file chunk's score tracks link once rewritten, and whether it
  // holds a contents-info chunk: chunks before the file chunk are copied but
  // are no part of the file that a phone reads.
  ScoreTrackLinks links;
  bool contentsInfo;
  bool recordedSound;
};

bool copy(SmafWalkState &w, uint64_t count) {
  return copyThrough(w.io, count) || stopSmafWalk(w, SMAF_FULL, w.io.inPos);
}

bool put(SmafWalkState &w, const uint8_t *bytes, uint64_t count) {
  return emit(w.io, bytes, count) || stopSmafWalk(w, SMAF_FULL, w.io.inPos);
}

// Copies the option data from `pos` to `end`, leaving out every LED tag
// together with the "," that ends it.
bool copyOptionsWithoutLedTags(SmafWalkState &w, uint64_t pos, uint64_t end) {
  while (pos < end) {
    uint64_t tagEnd = optionTagEnd(w.io, pos, end);
    if (!isLedTag(w.io, pos) && !put(w, w.io.in + pos, tagEnd - pos)) return false;
    pos = tagEnd;
  }
  return true;
}

bool onSmafFileChunk(SmafRewrite &r, SmafWalkState &w) {
  r.fileChunkOut = w.io.outPos;
  return copy(w, 8);
}

// The contents-info chunk: its 5 fixed bytes, the new LED tag first when an
// LED channel is chosen, then the other tags; its length recomputed.
bool onSmafContentsInfo(SmafRewrite &r, SmafWalkState &w, uint64_t dataLength) {
  Walk &io = w.io;
  uint64_t chunkOut = io.outPos, dataEnd = io.inPos + 8 + dataLength;
  if (w.haveFileChunk) r.contentsInfo = true;
  if (!copy(w, 13)) return false;
  uint8_t ledChannel = r.choice->ledChannel;
  if (ledChannel) {
    const uint8_t tag[5] = {'L', '2', ':', uint8_t(ledChannel - 1), ','};
    if (!put(w, tag, sizeof tag)) return false;
  }
  if (!copyOptionsWithoutLedTags(w, io.inPos, dataEnd)) return false;
  writeBE(io.out + chunkOut + 4, uint32_t(io.outPos - chunkOut - 8), 4);
  return true;
}

// Sets or clears one channel's bit in the copy of a score track at `chunk`.
void setChannelBit(uint8_t *chunk, ChannelBit where, bool on) {
  chunk[where.offset] = uint8_t((chunk[where.offset] & ~where.bit) | (on ? where.bit : 0));
}

// The channel bits of a score track's copy at `chunk`: the vibration bits,
// and the LED bits of tracks 5 to 7, are rewritten from the masks. The masks
// name channels 1 to 16, so channels 17 to 32 lose both bits.
void rewriteChannelBits(const ScoreTrack &track, uint8_t *chunk, const LinkChoice &choice) {
  for (int k = 0; k < scoreTrackChannels; ++k) {
    ChannelBit where;
    if (vibrationBit(track, k, &where)) setChannelBit(chunk, where, (choice.vibMask >> k) & 1);
    if (ledBit(track, k, &where)) setChannelBit(chunk, where, (choice.ledMask >> k) & 1);
  }
}

// Any other chunk is copied whole; a score track's copy gets its channel
// bits rewritten: tracks 0 to 5 always, 6 and 7 when asked.
bool onSmafChunk(SmafRewrite &r, SmafWalkState &w, uint64_t dataLength, int track) {
  uint8_t *chunk = w.io.out + w.io.outPos;
  if (w.haveFileChunk && isAudioTrack(w)) r.recordedSound = true;
  if (!copy(w, 8 + dataLength)) return false;
  if (track < 0) return true;
  if (track <= 5 || r.choice->allTracks) rewriteChannelBits(w.scoreTrack, chunk, *r.choice);
  if (w.haveFileChunk) addScoreTrackLinks(w.scoreTrack, chunk, &r.links);
  return true;
}

// The file length counts every byte after the file chunk's header and the
// CRC; the CRC covers everything before it. Whatever followed the old CRC
// follows the new one.
bool closeFileChunk(SmafRewrite &r, SmafWalkState &w) {
  Walk &io = w.io;
  writeBE(io.out + r.fileChunkOut + 4, uint32_t(io.outPos - r.fileChunkOut - 8 + 2), 4);
  uint8_t crc[2];
  writeBE(crc, crc16Finish(crc16Update(crc16Start(), io.out, io.outPos)), 2);
  if (!put(w, crc, 2)) return false;
  io.inPos += 2;
  return io.inPos >= io.inLength || copy(w, io.inLength - io.inPos);
}

// The LED channels carried: the LED bits, and the channel that the
// contents-info chunk's new LED tag names.
CarriedLinks carriedLinks(const SmafRewrite &r) {
  const ScoreTrackLinks &links = r.links;
  uint32_t tag = r.contentsInfo && r.choice->ledChannel ? uint32_t(1) << (r.choice->ledChannel - 1) : 0;
  return {links.vibration, links.led | tag, 0, links.vibPlaces, links.ledPlaces, links.laterPlaces,
          r.contentsInfo,  r.recordedSound};
}

ConversionResult given(const SmafWalkState &w, const SmafRewrite &r) {
  return rewriteResult(FORMAT_SMAF, w.scoreTrackType, smafStopPlace(w), w.io.outPos, carriedLinks(r));
}

}  // namespace

ConversionResult rewriteSmafImage(const uint8_t *input, uint64_t length, uint8_t *output, uint64_t capacity,
                                  const LinkChoice &choice) {
  SmafWalkState w = startSmafWalk(input, length, output, capacity);
  w.strictTracks6And7 = choice.allTracks;
  SmafRewrite r = {};
  r.choice = &choice;
  if (walkSmaf(w, r)) closeFileChunk(r, w);
  return given(w, r);
}

int rewriteSmaf(const MemBlock *input, MemBlock *output) {
  return rewriteWithSettings(rewriteSmafImage, input, output);
}
