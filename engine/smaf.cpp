#include "engine/smaf.h"

#include <cstring>

#include "engine/convert.h"
#include "engine/walk.h"

namespace {

struct SmafWalk {
  Walk io;
  bool haveFileChunk;
  uint64_t fileChunkOut;
  uint64_t fileEnd;  // input offset just past the file chunk; 0 until one is met
  uint8_t scoreTrackType;
};

bool enterFileChunk(SmafWalk &s) {
  Walk &io = s.io;
  if (!inputHas(io, io.inPos, 8)) return false;
  s.haveFileChunk = true;
  s.fileChunkOut = io.outPos;
  s.fileEnd = io.inPos + 8 + readBE(io.in + io.inPos + 4, 4);
  return copyThrough(io, 8);
}

// Copies the option data from `pos` to `end`, leaving out every tag that
// begins with "L2:" together with the "," that ends it.
bool copyOptionsWithoutLedTags(Walk &io, uint64_t pos, uint64_t end) {
  while (pos < end) {
    bool isLedTag = matchAt(io, pos, "L2:", 3);
    const void *comma = std::memchr(io.in + pos, ',', size_t(end - pos));
    uint64_t tagEnd = comma ? uint64_t(static_cast<const uint8_t *>(comma) - io.in) + 1 : end;
    if (!isLedTag && !emit(io, io.in + pos, tagEnd - pos)) return false;
    pos = tagEnd;
  }
  return true;
}

// The contents-info chunk: its 5 fixed bytes, the new LED tag first when an
// LED channel is chosen, then the other tags; its length recomputed.
bool rewriteContentsInfo(SmafWalk &s, uint64_t dataLength) {
  Walk &io = s.io;
  if (dataLength < 5) return false;
  uint64_t chunkOut = io.outPos, dataEnd = io.inPos + 8 + dataLength;
  if (!copyThrough(io, 13)) return false;
  uint8_t ledChannel = conversionSettings.ledChannel;
  if (ledChannel) {
    const uint8_t tag[5] = {'L', '2', ':', uint8_t(ledChannel - 1), ','};
    if (!emit(io, tag, sizeof tag)) return false;
  }
  if (!copyOptionsWithoutLedTags(io, io.inPos, dataEnd)) return false;
  io.inPos = dataEnd;
  writeBE(io.out + chunkOut + 4, uint32_t(io.outPos - chunkOut - 8), 4);
  return true;
}

inline uint8_t bitIf(uint16_t mask, int bit, uint8_t value) {
  return ((mask >> bit) & 1) ? value : 0;
}

// Rewrites the channel status bytes of score track 0 to 5 in the copy at
// `chunk`: bits 0x40 and 0x04 for four channels in tracks 0 to 4 (track 0
// and track 1 both cover channels 1 to 4), bits 0x20 (vibration) and 0x10
// (LED) for all 16 channels in track 5. Other tracks stay as they are.
bool patchScoreTrack(SmafWalk &s, uint8_t *chunk, uint64_t dataLength) {
  uint8_t track = chunk[3];
  uint16_t vib = conversionSettings.vibMask, led = conversionSettings.ledMask;
  if (track <= 4) {
    if (dataLength < 6) return false;
    s.scoreTrackType = track == 0 ? 1 : 2;
    int g = track == 0 ? 0 : 4 * (track - 1);
    chunk[12] = uint8_t((chunk[12] & 0xBB) | bitIf(vib, g, 0x40) | bitIf(vib, g + 1, 0x04));
    chunk[13] = uint8_t((chunk[13] & 0xBB) | bitIf(vib, g + 2, 0x40) | bitIf(vib, g + 3, 0x04));
  } else if (track == 5) {
    if (dataLength < 20) return false;
    s.scoreTrackType = 3;
    for (int k = 0; k < 16; ++k)
      chunk[12 + k] = uint8_t((chunk[12 + k] & 0xCF) | bitIf(vib, k, 0x20) | bitIf(led, k, 0x10));
  }
  return true;
}

bool copyChunk(SmafWalk &s) {
  Walk &io = s.io;
  if (!inputHas(io, io.inPos, 8)) return false;
  uint64_t dataLength = readBE(io.in + io.inPos + 4, 4);
  if (!inputHas(io, io.inPos, 8 + dataLength)) return false;
  if (matchAt(io, io.inPos, "CNTI", 4)) return rewriteContentsInfo(s, dataLength);
  bool isScoreTrack = matchAt(io, io.inPos, "MTR", 3);
  uint64_t chunkOut = io.outPos;
  if (!copyThrough(io, 8 + dataLength)) return false;
  return !isScoreTrack || patchScoreTrack(s, io.out + chunkOut, dataLength);
}

// Walks the chunks at one level: the file chunk's header is entered, its
// inner chunks follow. The walk stops at the first chunk position at or past
// the file chunk's CRC.
bool walkChunks(SmafWalk &s) {
  Walk &io = s.io;
  while (io.inPos < io.inLength) {
    bool ok;
    if (matchAt(io, io.inPos, "MMMD", 4))
      ok = enterFileChunk(s);
    else if (s.fileEnd != 0 && io.inPos + 2 >= s.fileEnd)
      break;
    else
      ok = copyChunk(s);
    if (!ok) return false;
  }
  return true;
}

// The file length counts every byte after the file chunk's header and the
// CRC; the CRC covers everything before it. Whatever followed the old CRC
// follows the new one.
bool closeFileChunk(SmafWalk &s) {
  Walk &io = s.io;
  if (!s.haveFileChunk) return false;
  writeBE(io.out + s.fileChunkOut + 4, uint32_t(io.outPos - s.fileChunkOut - 8 + 2), 4);
  uint8_t crc[2];
  writeBE(crc, crc16Finish(crc16Update(crc16Start(), io.out, io.outPos)), 2);
  if (!emit(io, crc, 2)) return false;
  io.inPos += 2;
  return io.inPos >= io.inLength || copyThrough(io, io.inLength - io.inPos);
}

}  // namespace

int rewriteSmaf(const MemBlock *input, MemBlock *output) {
  ConversionReport &report = conversionSettings.report;
  std::memset(&report, 0, sizeof report);
  output->length = 0;
  SmafWalk s = {};
  s.io = {input->data, input->length, output->data, uint64_t(input->length) + outputHeadroom, 0, 0};
  s.scoreTrackType = 1;
  if (!walkChunks(s) || !closeFileChunk(s)) return 0;
  output->length = uint32_t(s.io.outPos);
  report.formatKind = FORMAT_SMAF;
  report.formatVersion = s.scoreTrackType;
  return 1;
}
