// The note timeline: every note of a melody with its channel, start and
// duration in milliseconds, key and velocity, read by the same walks that the
// converter and the inspector follow. It takes the bytes and fills a plain
// record; it writes nothing.
//
// i-melody: each track counts its own ticks; the tempo events of every track
// make one tempo map for the file, and ticks become milliseconds through it.
// SMAF: a score track's sequence counts durations and gate times in fixed
// units of milliseconds that its header names.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/stops.h"


// One note. Channels count from 1: up to 16, 32 in the 32-channel SMAF
// format, and beyond 16 for the fifth and later tracks of an i-melody. Key
// and velocity are MIDI's, 0 to 127.
struct TimedNote {
  double startMs;
  float durationMs;
  uint16_t channel;
  uint8_t key;
  uint8_t velocity;
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
  int formatKind;                // FORMAT_NONE, FORMAT_IMELODY or FORMAT_SMAF
  std::vector<TimedNote> notes;  // in the order read: track by track, each in time order
  double durationMs;             // the latest end of a track or a note
  bool loops;                    // the melody has a loop point (one pass is decoded)
  int channels;                  // 16, or 32 for the 32-channel SMAF format
  StopPlace stopped;             // the walk's own stop, as the inspector reports it
  StopPlace notesStopped;        // a TimelineStop: where decoding inside a track stopped
  ChannelVoice voices[describedChannels];  // channel k + 1 at index k
};

// Decodes the image: finds its format as the converter does and walks it.
// The notes' storage is kept from an earlier call on the same record, and
// never grows beyond what the input's length can hold. After a stop, the
// notes read before it stay.
void decodeTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline);
