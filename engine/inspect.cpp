#include "engine/inspect.h"

#include "engine/format.h"
#include "engine/melodywalk.h"
#include "engine/smafwalk.h"
#include "engine/timeline.h"

namespace {

// Channels 1 to `last` are added to a mask; others are none.
void addChannel(uint32_t *mask, int channel, int last) {
  if (channel >= 1 && channel <= last) *mask |= uint32_t(1) << (channel - 1);
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

// A link event names one of the 16 channels by two bytes: 0x20 + 0x40 x
// voice, then the group of four; a link table has one byte per channel, bit
// 1 for the vibrator and bit 0 for the LED.
bool onEvent(MelodyReading &r, MelodyWalkState &w, uint64_t at, uint64_t, LinkKind link) {
  const uint8_t *event = w.io.in + at;
  MelodyInfo &info = *r.info;
  if (link == LINK_VIBRATION || link == LINK_LED) {
    if (event[8] < 0x20) return true;
    int channel = 4 * event[9] + (event[8] - 0x20) / 0x40 + 1;
    addChannel(link == LINK_VIBRATION ? &info.vibLinks : &info.ledLinks, channel, 16);
  } else if (link == LINK_TABLE) {
    for (int i = 0; i < 16; ++i) {
      if (event[9 + i] & 2) addChannel(&info.vibLinks, i + 1, 16);
      if (event[9 + i] & 1) addChannel(&info.ledLinks, i + 1, 16);
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
  TextSpan optionalTitle;  // the first title of the optional-data chunk
  ScoreTrackLinks links;
};

void addChunkId(MelodyInfo *info, const SmafWalkState &w) { info->chunkIds.push_back(readBE(w.io.in + w.io.inPos, 4)); }

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

// A title's value from `at` up to `end`; 0x00 bytes that end it are padding,
// not text.
TextSpan titleSpan(const Walk &io, uint64_t at, uint64_t end, TextEncoding encoding) {
  while (end > at && io.in[end - 1] == 0) --end;
  return {true, at, end - at, encoding};
}

// The first title tag ("ST:") and the first LED tag; a tag's value runs to
// its ",".
bool onSmafContentsInfo(SmafReading &r, SmafWalkState &w, uint64_t dataLength) {
  MelodyInfo &info = *r.info;
  if (!insideFileChunk(w)) return true;
  addChunkId(&info, w);
  const Walk &io = w.io;
  uint64_t pos = io.inPos + 13, end = io.inPos + 8 + dataLength;
  TextEncoding encoding = contentsEncoding(io.in[io.inPos + 10]);
  while (pos < end) {
    uint64_t tagEnd = optionTagEnd(io, pos, end);
    uint64_t valueEnd = tagEnd - (io.in[tagEnd - 1] == ',' ? 1 : 0);
    if (pos + 3 < valueEnd && isLedTag(io, pos) && !info.ledTag) info.ledTag = io.in[pos + 3] + 1;
    if (pos + 3 <= valueEnd && isOptionTag(io, pos, "ST:") && !info.title.present)
      info.title = titleSpan(io, pos + 3, valueEnd, encoding);
    pos = tagEnd;
  }
  return true;
}

// The texts of a "Dch" sub-chunk from `pos` up to `end`: tags of two
// letters and a 2-byte length; "ST" is the title.
void readDataTags(SmafReading &r, const Walk &io, uint64_t pos, uint64_t end, TextEncoding encoding) {
  while (end - pos >= 4) {
    uint64_t length = readBE(io.in + pos + 2, 2);
    if (length > end - pos - 4) return;
    if (matchAt(io, pos, "ST", 2) && !r.optionalTitle.present)
      r.optionalTitle = titleSpan(io, pos + 4, pos + 4 + length, encoding);
    pos += 4 + length;
  }
}

// The optional-data chunk's data from `pos` up to `end`: sub-chunks of a
// 4-byte id and a 4-byte length, the texts in "Dch" and a code-type byte.
void readOptionalData(SmafReading &r, const Walk &io, uint64_t pos, uint64_t end) {
  while (end - pos >= 8) {
    uint64_t length = readBE(io.in + pos + 4, 4);
    if (length > end - pos - 8) return;
    if (matchAt(io, pos, "Dch", 3)) readDataTags(r, io, pos + 8, pos + 8 + length, contentsEncoding(io.in[pos + 3]));
    pos += 8 + length;
  }
}

bool onSmafChunk(SmafReading &r, SmafWalkState &w, uint64_t dataLength, int track) {
  MelodyInfo &info = *r.info;
  if (!insideFileChunk(w)) return true;
  addChunkId(&info, w);
  uint64_t at = w.io.inPos;
  if (matchAt(w.io, at, "OPDA", 4)) readOptionalData(r, w.io, at + 8, at + 8 + dataLength);
  if (isAudioTrack(w)) ++info.audioTracks;
  if (track >= 0) addScoreTrackLinks(w.scoreTrack, w.io.in + at, &r.links);
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
  SmafWalkState w = startSmafReading(bytes, length);
  SmafReading r = {info, {}, {}};
  if (walkSmaf(w, r)) checkCrc(w, info);
  info->vibLinks = r.links.vibration;
  info->ledLinks = r.links.led;
  info->vibPlaces = r.links.vibPlaces;
  info->ledPlaces = r.links.ledPlaces;
  info->laterTrackPlaces = r.links.laterPlaces;
  // The contents-info chunk's title comes first.
  if (!info->title.present) info->title = r.optionalTitle;
  info->scoreTrackType = w.scoreTrackType;
  info->stopped = smafStopPlace(w);
}

// --- notes ------------------------------------------------------------------

// i-melody counts the channels of its first four tracks, SMAF every channel.
void countNotes(const Timeline &timeline, MelodyInfo *info) {
  uint32_t channels = info->formatKind == FORMAT_IMELODY ? 16 : 32;
  for (const TimedNote &note : timeline.notes)
    if (note.channel <= channels) ++info->notes[note.channel - 1];
  info->durationMs = timeline.durationMs;
  info->durationFloorMs = timeline.durationFloorMs;
  info->recordedSoundMs = recordedSoundMs(timeline);
  info->notesStopped = timeline.notesStopped;
}

}  // namespace

void inspectWithoutNotes(const uint8_t *bytes, uint64_t length, MelodyInfo *info) {
  *info = MelodyInfo();
  info->length = length;
  info->formatKind = length > UINT32_MAX ? FORMAT_NONE : findFormat(bytes, uint32_t(length));
  if (info->formatKind == FORMAT_IMELODY) inspectMelody(bytes, length, info);
  if (info->formatKind == FORMAT_SMAF) inspectSmaf(bytes, length, info);
  if (readsAsNoMelody(info->formatKind, bytes, length, info->stopped)) {
    *info = MelodyInfo();
    info->length = length;
  }
}

void inspectWithTimeline(const uint8_t *bytes, uint64_t length, const Timeline &timeline, MelodyInfo *info) {
  inspectWithoutNotes(bytes, length, info);
  if (info->formatKind != FORMAT_NONE) countNotes(timeline, info);
}

void inspectImage(const uint8_t *bytes, uint64_t length, MelodyInfo *info) {
  Timeline timeline;
  decodeTimeline(bytes, length, &timeline);
  inspectWithTimeline(bytes, length, timeline, info);
}

uint32_t ledChannelsCarried(const MelodyInfo &info) {
  uint32_t led = info.ledLinks;
  if (info.formatKind == FORMAT_SMAF && info.ledTag >= 1 && info.ledTag <= 16) led |= 1u << (info.ledTag - 1);
  return led;
}
