#include "engine/inspect.h"

#include "engine/convert.h"
#include "engine/melodywalk.h"
#include "engine/smafwalk.h"
#include "engine/timeline.h"

namespace {

void addChannel(uint16_t *mask, int channel) {
  if (channel >= 1 && channel <= 16) *mask = uint16_t(*mask | (1u << (channel - 1)));
}

// --- i-melody ---------------------------------------------------------------

struct MelodyReading {
  MelodyInfo *info;
  MelodyOrder order;
};

bool onFileChunk(MelodyReading &r, MelodyWalkState &w) {
  r.order.fileChunkAt = w.io.inPos;
  return true;
}

bool onHeaderChunk(MelodyReading &r, MelodyWalkState &w, uint64_t size) {
  if (matchAt(w.io, w.io.inPos, "titl", 4)) r.info->title = {true, w.io.inPos + 6, size - 6, TEXT_SHIFT_JIS};
  return true;
}

bool onAudioChunk(MelodyReading &r, MelodyWalkState &w, uint64_t) {
  ++r.info->audioChunks;
  markBody(r.order, w.io.inPos);
  return true;
}

bool onTrackStart(MelodyReading &r, MelodyWalkState &w, uint64_t) {
  if (w.tracks == 1) r.info->linkVersion = w.version;
  markBody(r.order, w.io.inPos);
  return true;
}

// The notes are the timeline's to count.
bool onNotes(MelodyReading &, MelodyWalkState &, uint64_t, uint64_t) { return true; }

// A link event names one channel by two bytes: 0x20 + 0x40 x voice, then
// the group of four; a link table has one byte per channel, bit 1 for the
// vibrator and bit 0 for the LED.
bool onEvent(MelodyReading &r, MelodyWalkState &w, uint64_t at, uint64_t, LinkKind link) {
  const uint8_t *event = w.io.in + at;
  MelodyInfo &info = *r.info;
  if (link == LINK_VIBRATION || link == LINK_LED) {
    if (event[8] < 0x20) return true;
    int channel = 4 * event[9] + (event[8] - 0x20) / 0x40 + 1;
    addChannel(link == LINK_VIBRATION ? &info.vibLinks : &info.ledLinks, channel);
  } else if (link == LINK_TABLE) {
    for (int i = 0; i < 16; ++i) {
      if (event[9 + i] & 2) addChannel(&info.vibLinks, i + 1);
      if (event[9 + i] & 1) addChannel(&info.ledLinks, i + 1);
    }
  }
  return true;
}

bool onTrackEnd(MelodyReading &, MelodyWalkState &, uint64_t) { return true; }

void inspectMelody(const uint8_t *bytes, uint64_t length, MelodyInfo *info) {
  MelodyWalkState w = startMelodyWalk(bytes, length, nullptr, 0);
  MelodyReading r = {};
  r.info = info;
  if (walkMelody(w, r)) checkMelodyOrder(r.order, w);
  info->version = w.version;
  info->noteLength = uint8_t(3 + w.noteFlag);
  info->tracks = w.tracks;
  info->stopped = melodyStopPlace(w);
}

// --- SMAF -------------------------------------------------------------------

struct SmafReading {
  MelodyInfo *info;
};

void addChunkId(MelodyInfo *info, const SmafWalkState &w) {
  info->chunkIds.push_back(readBE(w.io.in + w.io.inPos, 4));
}

// The third of the five fixed bytes says how the texts are encoded.
TextEncoding contentsEncoding(uint8_t codeType) {
  switch (codeType) {
    case 0x00: return TEXT_SHIFT_JIS;
    case 0x01: return TEXT_LATIN1;
    case 0x23: return TEXT_UTF8;
    default: return TEXT_UNKNOWN;
  }
}

bool onSmafFileChunk(SmafReading &, SmafWalkState &) { return true; }

// The first title tag ("ST:") and the first LED tag; a tag's value runs to
// its ",".
bool onSmafContentsInfo(SmafReading &r, SmafWalkState &w, uint64_t dataLength) {
  MelodyInfo &info = *r.info;
  addChunkId(&info, w);
  const Walk &io = w.io;
  uint64_t pos = io.inPos + 13, end = io.inPos + 8 + dataLength;
  TextEncoding encoding = contentsEncoding(io.in[io.inPos + 10]);
  while (pos < end) {
    uint64_t tagEnd = optionTagEnd(io, pos, end);
    uint64_t valueEnd = tagEnd - (io.in[tagEnd - 1] == ',' ? 1 : 0);
    if (pos + 3 < valueEnd && isLedTag(io, pos) && !info.ledTag) info.ledTag = io.in[pos + 3] + 1;
    if (pos + 3 <= valueEnd && isOptionTag(io, pos, "ST:") && !info.title.present)
      info.title = {true, pos + 3, valueEnd - pos - 3, encoding};
    pos = tagEnd;
  }
  return true;
}

bool onSmafChunk(SmafReading &r, SmafWalkState &w, uint64_t, int track) {
  MelodyInfo &info = *r.info;
  addChunkId(&info, w);
  if (track < 0) return true;
  const uint8_t *chunk = w.io.in + w.io.inPos;
  for (int k = 0; k < 16; ++k) {
    ChannelBit where;
    if (vibrationBit(uint8_t(track), k, &where) && (chunk[where.offset] & where.bit)) addChannel(&info.vibLinks, k + 1);
    if (ledBit(uint8_t(track), k, &where) && (chunk[where.offset] & where.bit)) addChannel(&info.ledLinks, k + 1);
  }
  return true;
}

// The CRC stands where the walk stopped and covers everything before it.
void checkCrc(const SmafWalkState &w, MelodyInfo *info) {
  uint64_t at = w.io.inPos;
  if (!inputHas(w.io, at, 2)) return;
  uint16_t computed = crc16Finish(crc16Update(crc16Start(), w.io.in, at));
  info->crc = computed == readBE(w.io.in + at, 2) ? CRC_OK : CRC_BAD;
  info->trailingBytes = w.io.inLength - at - 2;
}

void inspectSmaf(const uint8_t *bytes, uint64_t length, MelodyInfo *info) {
  SmafWalkState w = startSmafWalk(bytes, length, nullptr, 0);
  SmafReading r = {info};
  if (walkSmaf(w, r)) checkCrc(w, info);
  info->scoreTrackType = w.scoreTrackType;
  info->stopped = smafStopPlace(w);
}

// --- notes ------------------------------------------------------------------

// i-melody counts the channels of its first four tracks, SMAF every channel.
void countNotes(const uint8_t *bytes, uint64_t length, MelodyInfo *info) {
  Timeline timeline;
  decodeTimeline(bytes, length, &timeline);
  uint32_t channels = info->formatKind == FORMAT_IMELODY ? 16 : 32;
  for (const TimedNote &note : timeline.notes)
    if (note.channel <= channels) ++info->notes[note.channel - 1];
  info->durationMs = timeline.durationMs;
  info->notesStopped = timeline.notesStopped;
}

}  // namespace

void inspectWithoutNotes(const uint8_t *bytes, uint64_t length, MelodyInfo *info) {
  *info = MelodyInfo();
  info->length = length;
  info->formatKind = length > UINT32_MAX ? FORMAT_NONE : findFormat(bytes, uint32_t(length));
  if (info->formatKind == FORMAT_IMELODY) inspectMelody(bytes, length, info);
  if (info->formatKind == FORMAT_SMAF) inspectSmaf(bytes, length, info);
}

void inspectImage(const uint8_t *bytes, uint64_t length, MelodyInfo *info) {
  inspectWithoutNotes(bytes, length, info);
  if (info->formatKind != FORMAT_NONE) countNotes(bytes, length, info);
}

uint32_t ledChannelsCarried(const MelodyInfo &info) {
  uint32_t led = info.ledLinks;
  if (info.formatKind == FORMAT_SMAF && info.ledTag >= 1 && info.ledTag <= 16) led |= 1u << (info.ledTag - 1);
  return led;
}
