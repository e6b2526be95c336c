// make_hostile FOLDER: writes the large and hostile inputs that
// scripts/measure-large converts. Every byte is deterministic.
//   junk-melo.bin    100 MiB of pseudo-random junk, then an i-melody
//   junk-mmmd.bin    100 MiB of pseudo-random junk, then a SMAF image
//   zeros-melo.bin   100 MiB of zero bytes, read as empty header chunks one
//                    by one and all copied, then an i-melody
//   events.mld       one track of 2^20 three-byte note events
//   chunks.mmf       a SMAF image of 10,000 chunks of every kind
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;

const size_t junkSize = size_t(100) << 20;

void append(Bytes &bytes, const void *data, size_t count) {
  const uint8_t *p = static_cast<const uint8_t *>(data);
  bytes.insert(bytes.end(), p, p + count);
}

void appendText(Bytes &bytes, const char *text) { append(bytes, text, std::strlen(text)); }

void appendBE(Bytes &bytes, uint32_t value, uint32_t width) {
  uint8_t field[4];
  writeBE(field, value, width);
  append(bytes, field, width);
}

// xorshift64: the same junk on every machine. Magics that turn up by chance
// are broken, so that the one at the end is the first.
Bytes junk(size_t size) {
  Bytes bytes(size);
  uint64_t state = 0x9E3779B97F4A7C15u;
  for (size_t i = 0; i < size; ++i) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    bytes[i] = uint8_t(state >> 24);
  }
  for (size_t i = 0; i + 4 <= size; ++i)
    if (!std::memcmp(&bytes[i], "melo", 4) || !std::memcmp(&bytes[i], "MMMD", 4)) bytes[i] ^= 0x20;
  return bytes;
}

// A version-2 i-melody whose one track holds `events`.
Bytes melody(const Bytes &events) {
  Bytes header, image;
  appendText(header, "vers");
  appendBE(header, 4, 2);
  appendText(header, "0200");
  appendText(image, "melo");
  appendBE(image, uint32_t(5 + header.size() + 8 + events.size()), 4);
  appendBE(image, uint32_t(3 + header.size()), 2);
  append(image, "\x01\x00\x01", 3);
  append(image, header.data(), header.size());
  appendText(image, "trac");
  appendBE(image, uint32_t(events.size()), 4);
  append(image, events.data(), events.size());
  return image;
}

Bytes noteEvents(size_t count) {
  Bytes events;
  for (size_t i = 0; i < count; ++i) append(events, i % 2 ? "\x00\x40\x18" : "\x18\x3C\x30", 3);
  return events;
}

void appendChunk(Bytes &bytes, const char *id, const Bytes &data) {
  append(bytes, id, 4);
  appendBE(bytes, uint32_t(data.size()), 4);
  append(bytes, data.data(), data.size());
}

// Contents-info chunks with an LED tag among others, score tracks 0 to 6 and
// chunks of no interest, in turn; the file chunk and its CRC around them.
Bytes smaf(int chunkCount) {
  Bytes contents;
  for (int k = 0; k < chunkCount; ++k) {
    Bytes data(4, 0);
    int kind = k % 9;
    if (kind == 0) {
      data.assign({0, 1, 1, 0, 0});
      append(data, "ST:Chime,L2:\x03,AN:x,", 19);
      appendChunk(contents, "CNTI", data);
    } else if (kind <= 7) {
      data.resize(4 + 16 + 8, 0x5A);
      char id[4] = {'M', 'T', 'R', char(kind - 1)};
      appendChunk(contents, id, data);
    } else {
      appendChunk(contents, "ATR0", data);
    }
  }
  Bytes image;
  appendText(image, "MMMD");
  appendBE(image, uint32_t(contents.size() + 2), 4);
  append(image, contents.data(), contents.size());
  appendBE(image, crc16Finish(crc16Update(crc16Start(), image.data(), image.size())), 2);
  return image;
}

bool save(const std::string &path, const Bytes &front, const Bytes &back) {
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(front.data(), 1, front.size(), file) == front.size() &&
            std::fwrite(back.data(), 1, back.size(), file) == back.size();
  return (std::fclose(file) == 0) && ok;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_hostile FOLDER\n");
    return 2;
  }
  std::string folder = std::string(argv[1]) + "/";
  Bytes noise = junk(junkSize), tune = melody(noteEvents(16)), none;
  // Empty header chunks take 6 bytes each: zeros of a multiple of 6 lead the
  // walk exactly onto the file chunk behind them.
  Bytes zeros(junkSize - junkSize % 6, 0);
  bool ok = save(folder + "junk-melo.bin", noise, tune) && save(folder + "junk-mmmd.bin", noise, smaf(9)) &&
            save(folder + "zeros-melo.bin", zeros, tune) &&
            save(folder + "events.mld", melody(noteEvents(size_t(1) << 20)), none) &&
            save(folder + "chunks.mmf", smaf(10000), none);
  if (!ok) std::perror(argv[1]);
  return ok ? 0 : 1;
}
