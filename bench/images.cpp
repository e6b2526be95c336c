#include "bench/images.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine/bytes.h"

namespace {

// The same bytes on every run: a small linear congruential generator.
struct Random {
  uint32_t state;
};

uint32_t nextRandom(Random &random) {
  random.state = random.state * 1103515245u + 12345u;
  return random.state >> 8;
}

void append(ByteVector &bytes, const ByteVector &more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

void appendText(ByteVector &bytes, const char *text) {
  while (*text) bytes.push_back(uint8_t(*text++));
}

void appendBE(ByteVector &bytes, uint32_t value, uint32_t width) {
  uint8_t field[4];
  writeBE(field, value, width);
  bytes.insert(bytes.end(), field, field + width);
}

void patchBE(ByteVector &bytes, size_t at, uint32_t value, uint32_t width) { writeBE(bytes.data() + at, value, width); }

// One event of a typical track: mostly notes (3 bytes, the note flag being
// 0), one in 18 an extended event with or without data (volume, tempo and
// the like), and one in 128 an old link event. No track ends before its last
// event and no tempo is 0, so that the timeline reads every note.
void appendEvent(ByteVector &events, Random &random) {
  static const ByteVector vibLink = {0x07, 0xFF, 0xFF, 0x00, 0x05, 0x11, 0xF2, 0x04, 0x20, 0x01};
  static const ByteVector ledLink = {0x00, 0xFF, 0xFF, 0x00, 0x05, 0x11, 0xF2, 0x05, 0xA0, 0x03};
  uint32_t kind = nextRandom(random) % 128, value = nextRandom(random);
  // A note's status: any of the four voices, any key but 0x3F (which would
  // make it an extended event).
  uint8_t delta = uint8_t(value), note = uint8_t(((value >> 8) % 4) << 6 | (value >> 10) % 0x3F);
  if (kind < 120) {
    events.insert(events.end(), {delta, note, uint8_t(value >> 16)});
  } else if (kind < 124) {
    uint8_t id = uint8_t(0xB0 + value % 0x2F), data = uint8_t(value >> 16);  // 0xDF, the end, left out
    if (id >= 0xC0 && id <= 0xCF && data == 0) data = 1;
    events.insert(events.end(), {delta, 0xFF, id, data});
  } else if (kind < 127) {
    uint8_t count = uint8_t(value % 8);
    events.insert(events.end(), {delta, 0xFF, 0xF1, 0x00, count});
    events.insert(events.end(), count, uint8_t(value >> 16));
  } else {
    append(events, value % 2 ? vibLink : ledLink);
  }
}

void appendTrack(ByteVector &image, uint32_t size, Random &random) {
  size_t head = image.size();
  appendText(image, "trac");
  appendBE(image, 0, 4);
  while (image.size() - head - 8 < size) appendEvent(image, random);
  patchBE(image, head + 4, uint32_t(image.size() - head - 8), 4);
}

void appendChunk(ByteVector &image, const char *id, const ByteVector &data) {
  appendText(image, id);
  appendBE(image, uint32_t(data.size()), 4);
  append(image, data);
}

// Score-track data: the four fixed bytes of a HandyPhone track, two channel
// status bytes, then a sequence of notes (a duration, a note byte, a gate
// time) up to about `size`.
ByteVector scoreTrackData(uint32_t size, Random &random) {
  ByteVector data = {0x00, 0x00, 0x02, 0x02, 0x44, 0x00}, sequence;
  while (sequence.size() + 14 < size) {
    uint32_t value = nextRandom(random);
    sequence.insert(sequence.end(),
                    {uint8_t(value & 0x1F), uint8_t(1 + (value >> 8) % 0xFE), uint8_t((value >> 16) & 0x7F)});
  }
  appendChunk(data, "Mtsq", sequence);
  return data;
}

// An audio track of about `size` bytes: its header (the HandyPhone
// encoding, mono ADPCM at 4 kHz, 4 ms units), a sequence that plays its one
// wave for a second, and the wave's bytes.
ByteVector audioTrackData(uint32_t size, Random &random) {
  ByteVector data = {0x00, 0x00, 0x10, 0x00, 0x02, 0x02};
  appendChunk(data, "Atsq", {0x00, 0x01, 0x80, 0x7A, 0x00, 0x00, 0x00, 0x00});
  ByteVector wave(size > data.size() + 8 + 16 ? size - data.size() - 8 : 16);
  for (uint8_t &b : wave) b = uint8_t(nextRandom(random));
  appendChunk(data, "Awa\x01", wave);
  return data;
}

}  // namespace

ByteVector makeMelodyImage(uint32_t size) {
  const uint32_t trackCount = 16;
  ByteVector image;
  appendText(image, "melo");
  appendBE(image, 0, 4);
  appendBE(image, 0, 2);
  image.insert(image.end(), {0x01, 0x00, 0x02});
  appendText(image, "note");
  image.insert(image.end(), {0x00, 0x02, 0x00, 0x00});
  appendText(image, "vers");
  image.insert(image.end(), {0x00, 0x04, '0', '2', '0', '0'});
  appendText(image, "titl");
  image.insert(image.end(), {0x00, 0x05, 'B', 'e', 'n', 'c', 'h'});
  patchBE(image, 8, uint32_t(image.size() - 10), 2);
  Random random = {size};
  uint32_t trackSize = (size - uint32_t(image.size())) / trackCount - 8 - 24;
  for (uint32_t t = 0; t < trackCount; ++t) appendTrack(image, trackSize, random);
  patchBE(image, 4, uint32_t(image.size() - 8), 4);
  return image;
}

ByteVector makeSmafImage(uint32_t size) {
  Random random = {size};
  ByteVector contents;
  ByteVector info = {0x00, 0x01, 0x01, 0x00, 0x00};
  appendText(info, "ST:Bench,L2:\x03,AN:Sorbelin,CR:(c) nobody,L2:\x05,SW:x");
  appendChunk(contents, "CNTI", info);
  const char *tracks[] = {"MTR\x01", "MTR\x02", "MTR\x03", "MTR\x04"};
  for (const char *id : tracks) appendChunk(contents, id, scoreTrackData(size / 64, random));
  uint32_t audioSize = size > contents.size() + 20 ? size - uint32_t(contents.size()) - 20 : 16;
  appendChunk(contents, "ATR\x01", audioTrackData(audioSize, random));
  ByteVector image;
  appendText(image, "MMMD");
  appendBE(image, uint32_t(contents.size() + 2), 4);
  append(image, contents);
  appendBE(image, crc16(image.data(), int32_t(image.size())), 2);
  return image;
}

namespace {

// A part of the ring melody: a note every `step` ticks (48 a beat) sounding
// `gate` ticks, `chord` notes at once, keys drawn within `spread` of `key`
// (0 to 62 above key 45), now and then a rest.
struct RingPart {
  int step, gate, chord, key, spread, restPercent;
};

// Channels 1 to 16: bass, three held chords, tune, harmony, two arpeggios,
// a counter line, drums, six sparse parts.
const RingPart ringParts[16] = {
    {24, 12, 1, 0, 12, 0},    {192, 186, 3, 15, 12, 0}, {192, 186, 3, 19, 12, 0},  {192, 186, 3, 22, 12, 0},
    {32, 28, 1, 27, 14, 10},  {48, 40, 1, 22, 12, 10},  {12, 10, 1, 15, 24, 15},   {24, 20, 1, 19, 20, 15},
    {96, 80, 1, 20, 10, 20},  {12, 1, 2, 0, 6, 0},      {96, 60, 1, 30, 12, 30},   {96, 60, 1, 10, 12, 30},
    {144, 90, 1, 25, 12, 40}, {96, 40, 1, 35, 10, 40},  {192, 100, 2, 12, 12, 50}, {48, 30, 1, 40, 12, 60},
};

struct RingEvent {
  uint32_t tick;
  uint8_t bytes[3];
};

// Every event of one voice over `ticks`: its notes, a volume event at each
// bar and a pan event at each half bar.
void appendPartEvents(std::vector<RingEvent> &events, const RingPart &part, int voice, uint32_t ticks, Random &random) {
  for (uint32_t tick = 0; tick < ticks; tick += uint32_t(part.step)) {
    if (tick % 192 == 0) events.push_back({tick, {0xFF, 0xE2, uint8_t(voice << 6 | 50)}});
    if (tick % 96 == 0) events.push_back({tick, {0xFF, 0xE3, uint8_t(voice << 6 | (tick / 96 % 2 ? 24 : 40))}});
    if (int(nextRandom(random) % 100) < part.restPercent) continue;
    for (int k = 0; k < part.chord; ++k) {
      uint8_t key = uint8_t(std::min(62, part.key + int(nextRandom(random) % uint32_t(part.spread + 1))));
      events.push_back({tick, {uint8_t(voice << 6 | key), uint8_t(part.gate), 0}});
    }
  }
}

// One track: the tempo first (time base 48, tempo 150) in the first, the
// events in time order, waits over 255 ticks as no-ops, the end.
void appendRingTrack(ByteVector &image, int track, uint32_t ticks, Random &random) {
  std::vector<RingEvent> events;
  for (int voice = 0; voice < 4; ++voice) appendPartEvents(events, ringParts[4 * track + voice], voice, ticks, random);
  std::stable_sort(events.begin(), events.end(),
                   [](const RingEvent &a, const RingEvent &b) { return a.tick < b.tick; });
  ByteVector data = track == 0 ? ByteVector{0x00, 0xFF, 0xC3, 150} : ByteVector{};
  uint32_t at = 0;
  for (const RingEvent &e : events) {
    for (; e.tick - at > 255; at += 255) data.insert(data.end(), {0xFF, 0xFF, 0xDE, 0x00});
    data.push_back(uint8_t(e.tick - at));
    data.insert(data.end(), e.bytes, e.bytes + (e.bytes[0] == 0xFF ? 3 : 2));
    at = e.tick;
  }
  for (; ticks - at > 255; at += 255) data.insert(data.end(), {0xFF, 0xFF, 0xDE, 0x00});
  data.insert(data.end(), {uint8_t(ticks - at), 0xFF, 0xDF, 0x00});
  appendChunk(image, "trac", data);
}

}  // namespace

ByteVector makeRingMelodyImage() {
  const uint32_t ticks = 178 * 192;  // 178 bars of four beats: 4:45 at 150 beats a minute
  ByteVector image;
  appendText(image, "melo");
  appendBE(image, 0, 4);
  appendBE(image, 0, 2);
  image.insert(image.end(), {0x01, 0x00, 0x04});
  appendText(image, "vers");
  image.insert(image.end(), {0x00, 0x04, '0', '3', '0', '0'});
  patchBE(image, 8, uint32_t(image.size() - 10), 2);
  Random random = {15000};
  for (int track = 0; track < 4; ++track) appendRingTrack(image, track, ticks, random);
  patchBE(image, 4, uint32_t(image.size() - 8), 4);
  return image;
}

ByteVector makeNonMelodyImage(uint32_t size) {
  Random random = {size};
  ByteVector bytes(size);
  for (uint8_t &b : bytes) b = uint8_t(nextRandom(random));
  for (size_t i = 0; i + 4 <= bytes.size(); ++i)
    if (std::memcmp(&bytes[i], "melo", 4) == 0 || std::memcmp(&bytes[i], "MMMD", 4) == 0) bytes[i] = 0;
  return bytes;
}
