// Pieces whose parts the tests know because they wrote them (a lead line, a
// bass line, drums, a held pad, a fast arpeggio), and the same piece as an
// i-melody, a SMAF file with a Mobile score track 5, or SMAF HandyPhone
// score tracks 1 to 4. Every time is a multiple of 10 ms, which both
// formats hold exactly: i-melody ticks of 10 ms (time base 48, tempo 125),
// SMAF durations and gate times in units of 10 ms.
#pragma once

#include <algorithm>

#include "engine/channelroles.h"
#include "tests/images.h"

struct PartNote {
  int channel;  // 1 to 16
  int startMs, durationMs;
  int key;
};

enum Part { PART_LEAD, PART_BASS, PART_DRUMS, PART_PAD, PART_ARPEGGIO, PART_HARMONY };

struct Piece {
  std::vector<PartNote> notes;
  int lengthMs;
};

// A small linear congruential generator: the same pieces on every run.
struct PartRandom {
  uint32_t state;
  int below(int n) {
    state = state * 1103515245u + 12345u;
    return int((state >> 8) % uint32_t(n));
  }
};

// `bars` bars of four beats of `beatMs` (a multiple of 40 ms, so that a
// sixteenth note is a multiple of 10 ms), around `key`; the bass sounds for
// `bassShare` percent of each beat.
struct PartStyle {
  int bars, beatMs, key;
  uint32_t seed;
  int bassShare = 40;
};

// Keys of a major scale, `degree` steps from `key`.
inline int scaleKey(int key, int degree) {
  static const int steps[7] = {0, 2, 4, 5, 7, 9, 11};
  int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
  return key + 12 * octave + steps[degree - 7 * octave];
}

// A tune: eighths, quarters and halves stepping through the scale, each
// sounding 90 % of its length, now and then a rest.
inline void addLead(Piece &piece, int channel, const PartStyle &s, int offset = 0) {
  PartRandom random = {s.seed};
  int eighth = s.beatMs / 2, degree = 0;
  for (int at = 0; at < s.bars * 4 * s.beatMs;) {
    static const int lengths[] = {1, 1, 2, 2, 2, 4};
    int length = eighth * lengths[random.below(6)];
    degree = std::max(-3, std::min(9, degree + random.below(5) - 2));
    if (random.below(8))
      piece.notes.push_back({channel, at, length * 9 / 10 / 10 * 10, scaleKey(s.key, degree) + offset});
    at += length;
  }
}

// A bass line two octaves down: root, fifth and octave on the beats.
inline void addBass(Piece &piece, int channel, const PartStyle &s) {
  PartRandom random = {s.seed ^ 0x5A5Au};
  static const int intervals[] = {0, 7, 12, 0};
  for (int beat = 0; beat < s.bars * 4; ++beat) {
    int root = s.key - 24 + (beat / 8 % 2 ? 5 : 0);
    piece.notes.push_back(
        {channel, beat * s.beatMs, s.beatMs * s.bassShare / 100 / 10 * 10, root + intervals[random.below(4)]});
  }
}

// Kick and snare on the beats, closed hats on the eighths: ticks of 20 ms.
inline void addDrums(Piece &piece, int channel, const PartStyle &s) {
  for (int eighth = 0; eighth < s.bars * 8; ++eighth) {
    int at = eighth * s.beatMs / 2;
    piece.notes.push_back({channel, at, 20, 42});
    if (eighth % 2 == 0) piece.notes.push_back({channel, at, 20, eighth % 4 ? 38 : 36});
  }
}

// A chord of three notes held through every bar.
inline void addPad(Piece &piece, int channel, const PartStyle &s) {
  for (int bar = 0; bar < s.bars; ++bar)
    for (int degree : {0, 2, 4})
      piece.notes.push_back(
          {channel, bar * 4 * s.beatMs, 4 * s.beatMs - 20, scaleKey(s.key - 12, degree + (bar % 2) * 3)});
}

// Sixteenths up and down the chord over two octaves, legato.
inline void addArpeggio(Piece &piece, int channel, const PartStyle &s) {
  static const int degrees[] = {0, 2, 4, 7, 9, 11, 14, 11, 9, 7, 4, 2};
  int sixteenth = s.beatMs / 4;
  for (int k = 0; k < s.bars * 16; ++k)
    piece.notes.push_back({channel, k * sixteenth, sixteenth - 10, scaleKey(s.key - 12, degrees[k % 12])});
}

inline void addPart(Piece &piece, Part part, int channel, const PartStyle &s) {
  switch (part) {
    case PART_LEAD: return addLead(piece, channel, s);
    case PART_BASS: return addBass(piece, channel, s);
    case PART_DRUMS: return addDrums(piece, channel, s);
    case PART_PAD: return addPad(piece, channel, s);
    case PART_ARPEGGIO: return addArpeggio(piece, channel, s);
    case PART_HARMONY: {
      // The lead's tune a third below, at twice its pace.
      PartStyle faster = {s.bars, s.beatMs / 2, s.key - 4, s.seed, s.bassShare};
      for (int half = 0; half < 2; ++half) {
        Piece run;
        addLead(run, channel, faster);
        for (PartNote &n : run.notes) n.startMs += half * s.bars * 2 * s.beatMs;
        piece.notes.insert(piece.notes.end(), run.notes.begin(), run.notes.end());
      }
      return;
    }
  }
}

// The role a part is written to play.
inline ChannelRole writtenRole(Part part) {
  switch (part) {
    case PART_LEAD:
    case PART_HARMONY: return ROLE_MELODY;
    case PART_BASS: return ROLE_BASS;
    case PART_DRUMS: return ROLE_DRUMS;
    case PART_PAD: return ROLE_CHORDS;
    case PART_ARPEGGIO: return ROLE_OTHER;
  }
  return ROLE_OTHER;
}

struct PartPlace {
  Part part;
  int channel;
};

inline Piece pieceOf(const std::vector<PartPlace> &places, const PartStyle &style) {
  Piece piece = {{}, style.bars * 4 * style.beatMs};
  for (const PartPlace &place : places) addPart(piece, place.part, place.channel, style);
  return piece;
}

// Notes in time order, then by channel and key.
inline std::vector<PartNote> inTimeOrder(std::vector<PartNote> notes) {
  std::stable_sort(notes.begin(), notes.end(), [](const PartNote &a, const PartNote &b) {
    return a.startMs != b.startMs   ? a.startMs < b.startMs
           : a.channel != b.channel ? a.channel < b.channel
                                    : a.key < b.key;
  });
  return notes;
}

// --- i-melody ------------------------------------------------------------

// Waits of more than 255 ticks as no-op events before the event.
inline Bytes melodyDelta(int ticks) {
  Bytes out;
  for (; ticks > 255; ticks -= 255) out = out + hex("FF FF DE 00");
  return out + Bytes{uint8_t(ticks)};
}

// A 4-byte note: the key as 45 + its 6-bit index + 12 x the octave shift
// that reaches it (0, -1, +1, -2), full velocity.
inline Bytes melodyNote(int voice, int key, int gateTicks) {
  static const int shifts[4] = {0, -1, 1, -2};
  static const uint8_t codes[4] = {0, 3, 1, 2};
  for (int k = 0; k < 4; ++k) {
    int index = key - 45 - 12 * shifts[k];
    if (index >= 0 && index < 63) return {uint8_t(voice << 6 | index), uint8_t(gateTicks), uint8_t(0xFC | codes[k])};
  }
  return {};
}

// Tracks 1 to 4 (channels 1 to 16), the first setting time base 48 and
// tempo 125; each ends at the piece's end.
inline Bytes melodyOf(const Piece &piece, char version = '3') {
  Bytes tracks;
  for (int t = 0; t < 4; ++t) {
    Bytes events = t == 0 ? hex("00 FF C3 7D") : Bytes{};
    int tick = 0;
    for (const PartNote &n : inTimeOrder(piece.notes)) {
      if ((n.channel - 1) / 4 != t) continue;
      events = events + melodyDelta(n.startMs / 10 - tick) + melodyNote((n.channel - 1) % 4, n.key, n.durationMs / 10);
      tick = n.startMs / 10;
    }
    tracks = tracks + track(events + melodyDelta(piece.lengthMs / 10 - tick) + hex("FF DF 00"));
  }
  return melody(note(1) + vers(version), tracks);
}

// --- SMAF ------------------------------------------------------------------

inline Bytes variableLength(uint32_t value) {
  Bytes out{uint8_t(value & 0x7F)};
  while (value >>= 7) out.insert(out.begin(), uint8_t(0x80 | (value & 0x7F)));
  return out;
}

// Score track 5 in the Mobile format, durations and gate times in 10 ms,
// its status marking `drums` (bit k for channel k + 1) as rhythm channels.
inline Bytes mobileScoreTrack(const Piece &piece, uint16_t drums = 0) {
  Bytes sequence;
  int at = 0;
  for (const PartNote &n : inTimeOrder(piece.notes)) {
    sequence = sequence + variableLength(uint32_t(n.startMs - at) / 10) +
               Bytes{uint8_t(0x90 | (n.channel - 1)), uint8_t(n.key), 0x64} +
               variableLength(uint32_t(n.durationMs) / 10);
    at = n.startMs;
  }
  sequence = sequence + variableLength(uint32_t(piece.lengthMs - at) / 10) + hex("FF 2F 00");
  Bytes status(16, 0x00);
  for (int k = 0; k < 16; ++k)
    if ((drums >> k) & 1) status[size_t(k)] = 0x03;
  return scoreTrack(5, 2, 0x10, 0x10, status, mtsq(sequence));
}

// A HandyPhone number: one byte below 0x80, else two.
inline Bytes handyNumber(int value) {
  if (value < 0x80) return {uint8_t(value)};
  return {uint8_t(0x80 | (value / 128 - 1)), uint8_t(value % 128)};
}

// HandyPhone score tracks for the channels of `tracks` (bit t - 1 for track
// t, channels 4t - 3 to 4t), keys 37 to 84; notes of other channels left out.
inline Bytes handyPhoneScoreTracks(const Piece &piece, int tracks) {
  Bytes out;
  for (int t = 1; t <= 4; ++t) {
    if (!((tracks >> (t - 1)) & 1)) continue;
    Bytes sequence;
    int at = 0;
    for (const PartNote &n : inTimeOrder(piece.notes)) {
      if ((n.channel - 1) / 4 != t - 1) continue;
      int octave = (n.key - 37) / 12, tone = n.key - 36 - 12 * octave;
      sequence = sequence + handyNumber((n.startMs - at) / 10) +
                 Bytes{uint8_t(((n.channel - 1) % 4) << 6 | octave << 4 | tone)} + handyNumber(n.durationMs / 10);
      at = n.startMs;
    }
    sequence = sequence + handyNumber((piece.lengthMs - at) / 10) + hex("00 00 00");
    out = out + scoreTrack(uint8_t(t), 0, 0x10, 0x10, hex("00 00"), mtsq(sequence));
  }
  return out;
}

// --- Changes that keep the roles ---

inline Piece transposed(Piece piece, int semitones) {
  for (PartNote &n : piece.notes) n.key += semitones;
  return piece;
}

// Channel c becomes channel map[c - 1].
inline Piece renumbered(Piece piece, const std::vector<int> &map) {
  for (PartNote &n : piece.notes) n.channel = map[size_t(n.channel - 1)];
  return piece;
}
