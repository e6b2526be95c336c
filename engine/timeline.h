// The note timeline: every note of a melody with its channel, start and
// duration in milliseconds, key and velocity, read by the same walks that the
// converter and the inspector follow. It takes the bytes and fills a plain
// record; it writes nothing.
//
// i-melody: each track counts its own ticks; the tempo events of every track
// make one tempo map for the file, and ticks become milliseconds through it.
// SMAF: a score track's sequence counts durations and gate times in fixed
// units of milliseconds that its header names.
//
// Times are whole milliseconds in 64-bit integers. SMAF counts in whole
// milliseconds (1 to 50 a unit), so every time it can express is kept
// exactly: its longest gate, 0x0FFFFFFF units of 50 ms, is 13421772750 ms,
// which a float (24 bits) turned into 13421772800. An i-melody tick lasts a
// fraction of a millisecond; each time is rounded once to the nearest
// millisecond from its exact value (engine/tempomap.h), a note's duration
// being its rounded end less its rounded start: the reports' values, which
// compare, sort and add without drift. Only the piece's length keeps more:
// its whole milliseconds before rounding too, since its m:ss.t text rounds
// to the tenth from the unrounded length (649.5 ms is 0:00.6, not 0:00.7).
// 2^63 ms is far beyond any melody; a SMAF time past it (a sequence of more
// than 4 GB of the longest waits) is held there.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/stops.h"

// One note. Channels count from 1: up to 16, 32 in the 32-channel SMAF
// format, and beyond 16 for the fifth and later tracks of an i-melody. Key
// and velocity are MIDI's, 0 to 127.
struct TimedNote {
  int64_t startMs;
  int64_t durationMs;
  uint16_t channel;
  uint8_t key;
  uint8_t velocity;
};

// Recorded sound: a wave of a SMAF audio track plays from startMs for
// durationMs. The vibrator and the LED follow notes only.
struct SoundSpan {
  int64_t startMs;
  int64_t durationMs;
};

// What the file itself says about a channel's sound, where it says it: a
// drum channel (SMAF's channel kind "rhythm", the i-melody drum event), and
// the last program and bank that its sequence sets, -1 where it sets none.
struct ChannelVoice {
  bool rhythm;
  int16_t program;
  int16_t bank;
};

// The channels that ChannelVoice describes: 1 to 32.
inline constexpr int describedChannels = 32;

struct Timeline {
  int formatKind;                        // FORMAT_NONE, FORMAT_IMELODY or FORMAT_SMAF
  std::vector<TimedNote> notes;          // in the order read: track by track, each in time order
  std::vector<SoundSpan> recordedSound;  // SMAF audio tracks' waves, in the order read
  int64_t durationMs;                    // the latest end of a track (audio tracks too), a note or a wave, rounded
  int64_t durationFloorMs;               // the same before rounding, its fraction of a millisecond dropped
  bool loops;                            // the melody has a loop point (one pass is decoded)
  int channels;                          // 16, or 32 for the 32-channel SMAF format
  StopPlace stopped;                     // the walk's own stop, as the inspector reports it
  StopPlace notesStopped;  // a TimelineStop (and timelineInAudioTrack): where decoding inside a track stopped
  ChannelVoice voices[describedChannels];  // channel k + 1 at index k
};

// How long recorded sound plays: the length of the union of its spans.
int64_t recordedSoundMs(const Timeline &timeline);

// Decodes the image: finds its format as the converter does and walks it.
// The notes' storage is kept from an earlier call on the same record, and
// never grows beyond what the input's length can hold. After a stop, the
// notes read before it stay.
void decodeTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline);
