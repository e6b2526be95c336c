#include "engine/smaf.h"

#include <cstring>

#include "engine/convert.h"
#include "engine/smafwalk.h"

namespace {

// The rewrite copies every chunk as the walk meets it, but for the LED tag
// of the contents-info chunk and the channel status bits of score tracks.
struct SmafRewrite {
  uint64_t fileChunkOut;
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
bool onSmafContentsInfo(SmafRewrite &, SmafWalkState &w, uint64_t dataLength) {
  Walk &io = w.io;
  uint64_t chunkOut = io.outPos, dataEnd = io.inPos + 8 + dataLength;
  if (!copy(w, 13)) return false;
  uint8_t ledChannel = conversionSettings.ledChannel;
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

// Any other chunk is copied whole; in the copy of a score track whose status
// the walk reads (tracks 0 to 5, and 6 and 7 when asked) the vibration bits,
// and the LED bits of tracks 5 to 7, are rewritten from the masks. The masks
// name channels 1 to 16, so channels 17 to 32 lose both bits.
bool onSmafChunk(SmafRewrite &, SmafWalkState &w, uint64_t dataLength, int track) {
  uint8_t *chunk = w.io.out + w.io.outPos;
  if (!copy(w, 8 + dataLength)) return false;
  if (track < 0) return true;
  uint32_t vib = conversionSettings.vibMask, led = conversionSettings.ledMask;
  for (int k = 0; k < scoreTrackChannels; ++k) {
    ChannelBit where;
    if (vibrationBit(w.scoreTrack, k, &where)) setChannelBit(chunk, where, (vib >> k) & 1);
    if (ledBit(w.scoreTrack, k, &where)) setChannelBit(chunk, where, (led >> k) & 1);
  }
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

}  // namespace

int rewriteSmaf(const MemBlock *input, MemBlock *output) {
  ConversionReport &report = conversionSettings.report;
  std::memset(&report, 0, sizeof report);
  output->length = 0;
  SmafWalkState w = startSmafWalk(input->data, input->length, output->data,
                                  uint64_t(input->length) + outputHeadroom);
  w.readsTracks6And7 = conversionSettings.allTracks != 0;
  SmafRewrite r = {};
  if (!walkSmaf(w, r) || !closeFileChunk(r, w)) return 0;
  output->length = uint32_t(w.io.outPos);
  report.formatKind = FORMAT_SMAF;
  report.formatVersion = w.scoreTrackType;
  return 1;
}
