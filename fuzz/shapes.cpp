#include "fuzz/shapes.h"

#include <cstring>

#include "engine/bytes.h"
#include "engine/format.h"

namespace {

bool has(uint64_t length, uint64_t at, uint64_t count) { return at <= length && count <= length - at; }

bool tagAt(const uint8_t *bytes, uint64_t length, uint64_t at, const char *tag) {
  size_t n = std::strlen(tag);
  return has(length, at, n) && std::memcmp(bytes + at, tag, n) == 0;
}

// A SMAF chunk at `at`: its whole size, header included, when it lies inside.
bool smafChunkSize(const uint8_t *bytes, uint64_t length, uint64_t at, uint64_t *size) {
  if (!has(length, at, 8)) return false;
  *size = 8 + uint64_t(readBE(bytes + at + 4, 4));
  return has(length, at, *size);
}

// The option data's last tag, the one after its last ",": is it "L" or "L2"?
// The LED tag test at its start then reads bytes beyond the chunk.
bool endsWithLedPrefix(const uint8_t *options, uint64_t count) {
  uint64_t start = count;
  while (start > 0 && options[start - 1] != ',') --start;
  uint64_t rest = count - start;
  return (rest == 1 || rest == 2) && std::memcmp(options + start, "L2", size_t(rest)) == 0;
}

// A score track 6 or 7 at `at`, of `size` bytes with its head: when its
// format type names status bytes and it holds them, the channels they link.
void readLaterTrack(const uint8_t *bytes, uint64_t at, uint64_t size, SmafShape *shape) {
  if (size < 9 || bytes[at + 3] < 6 || bytes[at + 3] > 7) return;
  uint8_t formatType = bytes[at + 8];
  uint64_t count = formatType == 1 || formatType == 2 ? 16 : formatType == 3 ? 32 : 0;
  if (count == 0 || size < 12 + count) return;
  shape->laterTracks = true;
  for (uint64_t k = 0; k < count; ++k) {
    if (bytes[at + 12 + k] & 0x20) shape->laterVib |= uint32_t(1) << k;
    if (bytes[at + 12 + k] & 0x10) shape->laterLed |= uint32_t(1) << k;
  }
}

}  // namespace

SmafShape smafShape(const uint8_t *bytes, uint64_t length) {
  SmafShape shape = {};
  uint64_t pos = 0, fileEnd = 0, size = 0;
  while (pos < length) {
    if (tagAt(bytes, length, pos, "MMMD")) {
      ++shape.fileChunks;  // a header cut short counts: the rewriter gives up on it
      if (!has(length, pos, 8)) break;
      fileEnd = pos + 8 + readBE(bytes + pos + 4, 4);
      size = 8;
    } else if (fileEnd != 0 && pos + 2 >= fileEnd) {
      break;
    } else if (!smafChunkSize(bytes, length, pos, &size)) {
      break;
    } else if (tagAt(bytes, length, pos, "CNTI") && size >= 13 && endsWithLedPrefix(bytes + pos + 13, size - 13)) {
      shape.ledPrefixAtEnd = true;
    } else if (tagAt(bytes, length, pos, "MTR") && shape.fileChunks > 0) {
      readLaterTrack(bytes, pos, size, &shape);
    }
    ++shape.steps;
    pos += size;
  }
  return shape;
}

MelodyShape melodyShape(const uint8_t *bytes, uint64_t length) {
  MelodyShape shape = {};
  uint64_t pos = 0, fileEnd = 0;
  while (pos < length) {
    if (tagAt(bytes, length, pos, "melo") || tagAt(bytes, length, pos, "cmid")) {
      if (!has(length, pos, 13)) break;
      ++shape.fileChunks;
      shape.fileChunkFirst = shape.fileChunkFirst || pos == 0;
      fileEnd = uint64_t(readBE(bytes + pos + 4, 4)) + 8;
      pos += 13;
    } else if (tagAt(bytes, length, pos, "trac")) {
      if (!has(length, pos, 8)) break;
      pos += 8 + uint64_t(readBE(bytes + pos + 4, 4));
    } else if (fileEnd != 0 && pos >= fileEnd) {
      break;
    } else {
      if (!has(length, pos, 6)) break;
      pos += 6 + uint64_t(readBE(bytes + pos + 4, 2));
    }
  }
  return shape;
}

const char *checkSmafClosing(const uint8_t *bytes, uint64_t length, int steps) {
  uint64_t pos = 0, fileChunk = 0, size = 0;
  bool haveFileChunk = false;
  for (int k = 0; k < steps; ++k, pos += size) {
    if (tagAt(bytes, length, pos, "MMMD")) {
      haveFileChunk = true;
      fileChunk = pos;
      size = 8;
    } else if (!smafChunkSize(bytes, length, pos, &size)) {
      return "a chunk of the converted SMAF image runs past its end";
    }
  }
  if (!haveFileChunk) return "the converted SMAF image has no file chunk header";
  if (!has(length, pos, 2)) return "the converted SMAF image has no room for its CRC";
  if (fileChunk + 8 + readBE(bytes + fileChunk + 4, 4) != pos + 2)
    return "the SMAF file length does not end exactly with the CRC";
  if (readBE(bytes + pos, 2) != crc16Finish(crc16Update(crc16Start(), bytes, pos)))
    return "the SMAF CRC is not crc16 of everything before it";
  return nullptr;
}

bool sameWalkAgain(const uint8_t *image, uint32_t count, const uint8_t *output, uint32_t outLength, int format) {
  if (findFormat(output, outLength) != format) return false;
  if (format == FORMAT_IMELODY) {
    MelodyShape shape = melodyShape(image, count);
    return shape.fileChunks == 1 && shape.fileChunkFirst;
  }
  SmafShape before = smafShape(image, count), after = smafShape(output, outLength);
  return before.fileChunks == 1 && after.fileChunks == 1 && !before.ledPrefixAtEnd;
}

bool takeRequestAndImage(const uint8_t *data, size_t size, ConversionRequest *request, const uint8_t **image,
                         uint32_t *count) {
  const size_t largestImage = 1 << 20;  // larger images add nothing that smaller ones do not reach
  if (size < 4 || size - 4 > largestImage) return false;
  *request = {uint16_t(readBE(data, 2)), uint16_t(readBE(data + 2, 2)), __builtin_parity(readBE(data, 4)) != 0};
  *image = data + 4;
  *count = uint32_t(size - 4);
  return true;
}

ConversionResult convertCopy(const uint8_t *image, uint32_t count, const ConversionRequest &request, MemBlock *output) {
  MemBlock input = {};
  memBlockCreate(&input, count);
  if (count) std::memcpy(input.data, image, count);
  input.length = count;
  ConversionResult result = convertBlock(input, output, request);
  memBlockFree(&input);
  return result;
}
