// The SMAF timeline. The chunk walk hands over each score track; the
// reading here takes the track's header (format type, sequence type, the
// time bases of durations and gate times, the channel status), finds its
// sequence among the parts behind the header, and decodes it: the
// HandyPhone encoding of tracks 0 to 4, or the Mobile one, plain, compressed
// or with 32 channels. A duration counts from the event before; a note
// starts at the sum of the durations up to its own and sounds for its gate
// time.
//
// An audio track ("ATR" and its number) holds recorded sound: waves (parts
// "Awa" and a number) that its own sequence (part "Atsq") plays. Its header
// is the format type (0, the HandyPhone encoding, the only one known), the
// sequence type, two bytes of wave type (channels, coding, sampling rate)
// and the time bases of durations and gate times. Its sequence is read as a
// HandyPhone one whose note byte is a wave event: the channel in bits 7-6,
// the wave's number in bits 5-0; the wave plays from the event for its gate
// time.
#include <algorithm>
#include <cstring>

#include "engine/huffman.h"
#include "engine/smafwalk.h"
#include "engine/timelineparts.h"

namespace {

enum SequenceFormat { HANDYPHONE = 0, MOBILE_COMPRESSED = 1, MOBILE = 2, MOBILE_32 = 3 };

// The channel status bytes of each format type.
constexpr uint32_t statusLength[4] = {2, 16, 16, 32};

// A Mobile note before its first velocity.
const uint8_t firstVelocity = 100;

// A score or audio track as its header describes it.
struct TrackTiming {
  uint8_t number;
  bool audio;  // an audio track, whose sequence plays waves
  uint8_t format;
  uint32_t durationMs;  // one duration unit
  uint32_t gateMs;      // one gate time unit
};

// An audio track's header: format type, sequence type, wave type (2 bytes),
// the time bases of durations and gate times.
const uint64_t audioHeaderLength = 6;

// Where a sequence's bytes come from: the input itself, or a compressed
// stream's decoder.
struct SequenceReader {
  const uint8_t *in;
  uint64_t pos;
  uint64_t end;
  HuffmanStream *huffman;  // null for plain bytes
  TimelineStop stop;
  uint64_t stopAt;
};

struct SmafTiming {
  Timeline *timeline;
  uint64_t noteLimit;
  bool decoding;  // false after a stop of the decoder's own
};

// The milliseconds of a time-base code; 0 for the reserved codes.
uint32_t timeBaseMs(uint8_t code) {
  switch (code) {
    case 0x00: return 1;
    case 0x01: return 2;
    case 0x02: return 4;
    case 0x03: return 5;
    case 0x10: return 10;
    case 0x11: return 20;
    case 0x12: return 40;
    case 0x13: return 50;
    default: return 0;
  }
}

// --- reading the sequence's bytes --------------------------------------------

uint64_t readerOffset(const SequenceReader &r) { return r.huffman ? r.huffman->bit / 8 : r.pos; }

bool failRead(SequenceReader &r, TimelineStop stop, uint64_t at) {
  r.stop = stop;
  r.stopAt = at;
  return false;
}

bool atSequenceEnd(const SequenceReader &r) { return r.huffman ? r.huffman->left == 0 : r.pos >= r.end; }

bool readByte(SequenceReader &r, uint8_t *byte) {
  if (atSequenceEnd(r)) return failRead(r, TIMELINE_SEQUENCE_CUT, readerOffset(r));
  if (!r.huffman) {
    *byte = r.in[r.pos++];
    return true;
  }
  return nextHuffmanByte(*r.huffman, byte) || failRead(r, TIMELINE_HUFFMAN_CUT, readerOffset(r));
}

bool skipBytes(SequenceReader &r, uint64_t count) {
  uint8_t ignored;
  if (!r.huffman) {
    if (count > r.end - r.pos) return failRead(r, TIMELINE_SEQUENCE_CUT, r.end);
    r.pos += count;
    return true;
  }
  for (uint64_t k = 0; k < count; ++k)
    if (!readByte(r, &ignored)) return false;
  return true;
}

// A HandyPhone number: one byte below 0x80, else two bytes b1 b2 standing
// for ((b1 & 0x7F) + 1) x 128 + b2.
bool readHandyPhoneNumber(SequenceReader &r, uint32_t *value) {
  uint8_t first = 0, second = 0;
  if (!readByte(r, &first)) return false;
  if (first < 0x80) {
    *value = first;
    return true;
  }
  if (!readByte(r, &second)) return false;
  *value = ((first & 0x7Fu) + 1) * 128 + second;
  return true;
}

// A Mobile number: seven bits a byte, the high bit set on all but the last,
// four bytes at most.
bool readVariableNumber(SequenceReader &r, uint32_t *value) {
  uint64_t at = readerOffset(r);
  uint32_t v = 0;
  for (int k = 0; k < 4; ++k) {
    uint8_t byte = 0;
    if (!readByte(r, &byte)) return false;
    v = v << 7 | (byte & 0x7Fu);
    if (!(byte & 0x80)) {
      *value = v;
      return true;
    }
  }
  return failRead(r, TIMELINE_ENDLESS_NUMBER, at);
}

// --- notes --------------------------------------------------------------------

// Milliseconds as a timeline holds them. A sequence's durations add up to
// less than 2^58 units of at most 50 ms, which 64 bits hold unsigned; past
// 2^63 - 1 a time is held there.
int64_t heldMs(uint64_t ms) { return int64_t(std::min<uint64_t>(ms, INT64_MAX)); }

// A note's or a wave's start and duration from the sequence's time and its
// gate time; the piece lasts until it ends.
SoundSpan timedSpan(SmafTiming &s, const TrackTiming &track, uint64_t time, uint32_t gate) {
  uint64_t startMs = time * track.durationMs, endMs = startMs + uint64_t(gate) * track.gateMs;
  extendDuration(*s.timeline, heldMs(endMs));
  return {heldMs(startMs), heldMs(endMs) - heldMs(startMs)};
}

// The storage grows as notes arrive: a compressed sequence's count of bytes
// says nothing of how many notes they hold.
void addNote(SmafTiming &s, const TrackTiming &track, uint64_t time, uint32_t gate, int channel, int key,
             int velocity) {
  if (s.timeline->notes.size() == s.timeline->notes.capacity()) makeNoteRoom(*s.timeline, 1, s.noteLimit);
  SoundSpan span = timedSpan(s, track, time, gate);
  s.timeline->notes.push_back({span.startMs, span.durationMs, uint16_t(channel), midiValue(key), midiValue(velocity)});
}

// A wave that an audio track plays.
void addWave(SmafTiming &s, const TrackTiming &track, uint64_t time, uint32_t gate) {
  s.timeline->recordedSound.push_back(timedSpan(s, track, time, gate));
}

// --- the HandyPhone encoding ---------------------------------------------------

// A HandyPhone control's kinds that matter here.
enum HandyPhoneControl { CONTROL_PROGRAM = 0, CONTROL_BANK = 1, CONTROL_OCTAVE_SHIFT = 2 };

// After 0x00: the end of the sequence (0x00 0x00), a control with a value
// byte (bits 5-4 of e set: channel in bits 7-6, kind in bits 3-0: the
// program, the bank, the octave shift: 1 to 4 up, 0x81 to 0x84 down), or a
// short one. A score track's channels start at firstChannel; an audio
// track's (0) are its own.
bool readHandyPhoneControl(SmafTiming &s, SequenceReader &r, int firstChannel, int *shift, bool *ended) {
  uint8_t e = 0, value = 0;
  if (!readByte(r, &e)) return false;
  if (e == 0x00 && !r.huffman && r.pos < r.end && r.in[r.pos] == 0x00) {
    ++r.pos;
    *ended = true;
    return true;
  }
  if ((e & 0x30) != 0x30) return true;
  if (!readByte(r, &value)) return false;
  int kind = e & 0x0F, channel = e >> 6;
  if (kind == CONTROL_PROGRAM && firstChannel) setProgram(*s.timeline, firstChannel + channel, value & 0x7F);
  if (kind == CONTROL_BANK && firstChannel) setBank(*s.timeline, firstChannel + channel, value);
  if (kind != CONTROL_OCTAVE_SHIFT) return true;
  if (value <= 4) shift[channel] = value;
  if (value >= 0x81 && value <= 0x84) shift[channel] = -(value & 0x7F);
  return true;
}

// After 0xFF: an exclusive (0xF0, a length byte and that many bytes) or a
// no-op (0x00).
bool readHandyPhoneSystem(SequenceReader &r) {
  uint8_t kind = 0, length = 0;
  uint64_t at = readerOffset(r) - 1;
  if (!readByte(r, &kind)) return false;
  if (kind == 0x00) return true;
  if (kind != 0xF0) return failRead(r, TIMELINE_UNKNOWN_EVENT, at);
  return readByte(r, &length) && skipBytes(r, length);
}

// Track 0 plays channels 1 to 4, track t (1 to 4) channels 4(t - 1) + 1 to
// 4t. A note byte: channel in bits 7-6, octave in bits 5-4, note 1 to 12 in
// bits 3-0; octave 1 note 12 is middle C. In an audio track the same byte is
// a wave event.
bool decodeHandyPhone(SmafTiming &s, const TrackTiming &track, SequenceReader &r, uint64_t *time) {
  int shift[4] = {0, 0, 0, 0};
  int firstChannel = track.audio ? 0 : track.number == 0 ? 1 : 4 * (track.number - 1) + 1;
  bool ended = false;
  while (!ended && !atSequenceEnd(r)) {
    uint32_t duration = 0, gate = 0;
    uint8_t event = 0;
    if (!readHandyPhoneNumber(r, &duration) || !readByte(r, &event)) return false;
    *time += duration;
    if (event == 0x00) {
      if (!readHandyPhoneControl(s, r, firstChannel, shift, &ended)) return false;
    } else if (event == 0xFF) {
      if (!readHandyPhoneSystem(r)) return false;
    } else {
      if (!readHandyPhoneNumber(r, &gate)) return false;
      int channel = event >> 6, key = 36 + 12 * ((event >> 4) & 3) + (event & 0x0F) + 12 * shift[channel];
      if (track.audio)
        addWave(s, track, *time, gate);
      else
        addNote(s, track, *time, gate, firstChannel + channel, key, 127);
    }
  }
  return true;
}

// --- the Mobile encoding ---------------------------------------------------------

// A channel message's MIDI status (0x8 to 0xE) and channel from 1. In the
// 32-channel format bit 7 holds the channel's bit 4 and bits 6-4 the MIDI
// status - 8. False for a status that is no channel message.
bool channelMessage(uint8_t status, bool wide, int *kind, int *channel) {
  if (wide) {
    *kind = ((status >> 4) & 7) + 8;
    *channel = ((status >> 7) << 4 | (status & 0x0F)) + 1;
  } else {
    *kind = status >> 4;
    *channel = (status & 0x0F) + 1;
  }
  return *kind >= 0x8 && *kind <= 0xE;
}

// 0xFF 0x00 is a no-op, 0xFF 0x2F 0x00 the end of the sequence; 0xF0 an
// exclusive: a length and that many bytes.
bool readMobileSystem(SequenceReader &r, uint8_t status, bool *ended) {
  uint64_t at = readerOffset(r) - 1;
  uint8_t kind = 0, zero = 0;
  uint32_t length = 0;
  if (status == 0xF0) return readVariableNumber(r, &length) && skipBytes(r, length);
  if (!readByte(r, &kind)) return false;
  if (kind == 0x00) return true;
  if (kind != 0x2F) return failRead(r, TIMELINE_UNKNOWN_EVENT, at);
  if (!readByte(r, &zero)) return false;
  *ended = true;
  return zero == 0x00 || failRead(r, TIMELINE_UNKNOWN_EVENT, at);
}

// A control change: controllers 0 and 0x20 select the bank's high and low
// seven bits, MSB x 128 + LSB as MIDI counts banks.
void readControlChange(SmafTiming &s, int channel, uint8_t controller, uint8_t value) {
  int bank = channel <= describedChannels ? s.timeline->voices[channel - 1].bank : -1;
  if (bank < 0) bank = 0;
  if (controller == 0x00) setBank(*s.timeline, channel, (value & 0x7F) * 128 + bank % 128);
  if (controller == 0x20) setBank(*s.timeline, channel, bank / 128 * 128 + (value & 0x7F));
}

// Notes: 0x8n key gate at the channel's last velocity, 0x9n key velocity
// gate. A control change (0xB) and a program change (0xC) tell the
// channel's sound. The other channel messages carry two bytes (0xA, 0xE) or
// one (0xD).
bool readChannelMessage(SmafTiming &s, const TrackTiming &track, SequenceReader &r, uint64_t time, int kind,
                        int channel, uint8_t *velocities) {
  uint8_t key = 0, value = 0;
  uint32_t gate = 0;
  if (kind == 0x8 || kind == 0x9) {
    if (!readByte(r, &key)) return false;
    if (kind == 0x9 && !readByte(r, &velocities[channel - 1])) return false;
    if (!readVariableNumber(r, &gate)) return false;
    addNote(s, track, time, gate, channel, key, velocities[channel - 1]);
    return true;
  }
  if (kind == 0xB) {
    if (!readByte(r, &key) || !readByte(r, &value)) return false;
    readControlChange(s, channel, key, value);
    return true;
  }
  if (kind == 0xC) {
    if (!readByte(r, &value)) return false;
    setProgram(*s.timeline, channel, value & 0x7F);
    return true;
  }
  return skipBytes(r, kind == 0xD ? 1 : 2);
}

bool decodeMobile(SmafTiming &s, const TrackTiming &track, SequenceReader &r, uint64_t *time) {
  uint8_t velocities[32];
  std::memset(velocities, firstVelocity, sizeof velocities);
  bool wide = track.format == MOBILE_32, ended = false;
  while (!ended && !atSequenceEnd(r)) {
    uint32_t duration = 0;
    uint8_t status = 0;
    if (!readVariableNumber(r, &duration) || !readByte(r, &status)) return false;
    *time += duration;
    int kind = 0, channel = 0;
    if (status == 0xFF || status == 0xF0) {
      if (!readMobileSystem(r, status, &ended)) return false;
    } else if (channelMessage(status, wide, &kind, &channel)) {
      if (!readChannelMessage(s, track, r, *time, kind, channel, velocities)) return false;
    } else {
      return failRead(r, TIMELINE_UNKNOWN_EVENT, readerOffset(r) - 1);
    }
  }
  return true;
}

// --- score and audio tracks ---------------------------------------------------------

// Always false, so that callers can return it.
bool stopDecoding(SmafTiming &s, const TrackTiming &track, TimelineStop stop, uint64_t at) {
  stopNotes(*s.timeline, stop | (track.audio ? timelineInAudioTrack : 0), at, track.number);
  s.decoding = false;
  return false;
}

// Decodes the sequence in the `length` bytes at `at`.
void decodeSequence(SmafTiming &s, const TrackTiming &track, const uint8_t *in, uint64_t at, uint64_t length) {
  HuffmanStream stream;
  SequenceReader r = {in, at, at + length, nullptr, TIMELINE_DONE, 0};
  if (track.format == MOBILE_COMPRESSED) {
    TimelineStop opened = openHuffman(in, at, length, &stream);
    if (opened != TIMELINE_DONE) {
      stopDecoding(s, track, opened, stream.bit / 8);
      return;
    }
    r.huffman = &stream;
  }
  uint64_t time = 0;
  bool read = track.format == HANDYPHONE ? decodeHandyPhone(s, track, r, &time) : decodeMobile(s, track, r, &time);
  extendDuration(*s.timeline, heldMs(time * track.durationMs));
  if (!read) stopDecoding(s, track, r.stop, r.stopAt);
}

// The header; HandyPhone sequences only in tracks 0 to 4, whose channels
// they name.
bool readScoreTrack(SmafTiming &s, const uint8_t *data, uint64_t at, uint64_t dataLength, TrackTiming *track) {
  if (dataLength < 1) return stopDecoding(s, *track, TIMELINE_TRACK_HEADER_SHORT, at);
  track->format = data[0];
  if (track->format > MOBILE_32 || (track->format == HANDYPHONE && track->number > 4))
    return stopDecoding(s, *track, TIMELINE_UNKNOWN_FORMAT, at);
  if (dataLength < 4 + statusLength[track->format]) return stopDecoding(s, *track, TIMELINE_TRACK_HEADER_SHORT, at);
  track->durationMs = timeBaseMs(data[2]);
  track->gateMs = timeBaseMs(data[3]);
  if (track->durationMs == 0 || track->gateMs == 0) return stopDecoding(s, *track, TIMELINE_UNKNOWN_TIME_BASE, at);
  if (track->format == MOBILE_32) s.timeline->channels = 32;
  return true;
}

// An audio track's header: the HandyPhone encoding only.
bool readAudioTrack(SmafTiming &s, const uint8_t *data, uint64_t at, uint64_t dataLength, TrackTiming *track) {
  if (dataLength < audioHeaderLength) return stopDecoding(s, *track, TIMELINE_TRACK_HEADER_SHORT, at);
  track->format = data[0];
  if (track->format != HANDYPHONE) return stopDecoding(s, *track, TIMELINE_UNKNOWN_FORMAT, at);
  track->durationMs = timeBaseMs(data[4]);
  track->gateMs = timeBaseMs(data[5]);
  if (track->durationMs == 0 || track->gateMs == 0) return stopDecoding(s, *track, TIMELINE_UNKNOWN_TIME_BASE, at);
  return true;
}

// The parts from `pos` to `end`: a 4-byte id, a 4-byte length, the data.
// The sequence is the part `sequenceId`; fewer than 8 bytes at the end are
// no part.
void decodeParts(SmafTiming &s, const TrackTiming &track, const uint8_t *in, uint64_t pos, uint64_t end,
                 const char *sequenceId) {
  while (s.decoding && end - pos >= 8) {
    uint64_t partLength = readBE(in + pos + 4, 4);
    if (partLength > end - pos - 8) {
      stopDecoding(s, track, TIMELINE_PART_CUT, pos);
      return;
    }
    if (std::memcmp(in + pos, sequenceId, 4) == 0) decodeSequence(s, track, in, pos + 8, partLength);
    pos += 8 + partLength;
  }
}

// The channels that the track's status marks as drums, in a track whose
// header holds a known format.
void readChannelKinds(SmafTiming &s, const ScoreTrack &status, const uint8_t *chunk) {
  for (int k = 0; k < scoreTrackChannels; ++k)
    if (rhythmChannel(status, chunk, k)) setRhythm(*s.timeline, k + 1, true);
}

void decodeScoreTrack(SmafTiming &s, const ScoreTrack &status, const uint8_t *in, uint64_t at, uint64_t dataLength) {
  TrackTiming track = {status.number, false, 0, 0, 0};
  if (!readScoreTrack(s, in + at + 8, at, dataLength, &track)) return;
  readChannelKinds(s, status, in + at);
  decodeParts(s, track, in, at + 8 + 4 + statusLength[track.format], at + 8 + dataLength, "Mtsq");
}

void decodeAudioTrack(SmafTiming &s, const uint8_t *in, uint64_t at, uint64_t dataLength) {
  TrackTiming track = {in[at + 3], true, 0, 0, 0};
  if (!readAudioTrack(s, in + at + 8, at, dataLength, &track)) return;
  decodeParts(s, track, in, at + 8 + audioHeaderLength, at + 8 + dataLength, "Atsq");
}

bool onSmafFileChunk(SmafTiming &, SmafWalkState &) { return true; }

bool onSmafContentsInfo(SmafTiming &, SmafWalkState &, uint64_t) { return true; }

bool onSmafChunk(SmafTiming &s, SmafWalkState &w, uint64_t dataLength, int track) {
  if (!s.decoding || !insideFileChunk(w)) return true;
  if (track >= 0)
    decodeScoreTrack(s, w.scoreTrack, w.io.in, w.io.inPos, dataLength);
  else if (isAudioTrack(w))
    decodeAudioTrack(s, w.io.in, w.io.inPos, dataLength);
  return true;
}

}  // namespace

// A note takes at least two bytes of a plain sequence, and at least four
// decoded bytes of a compressed one, each coded in one bit at least: at
// most two notes a byte of the input.
void decodeSmafTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline) {
  SmafWalkState w = startSmafReading(bytes, length);
  SmafTiming s = {timeline, 2 * length + 1, true};
  walkSmaf(w, s);
  timeline->stopped = smafStopPlace(w);
}
