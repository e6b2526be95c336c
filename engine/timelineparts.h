// What the timeline's two decoders share: the note store with its bound,
// MIDI's value range, and the record of a stop of their own.
#pragma once

#include <cstdint>

#include "engine/timeline.h"

// Makes room for `more` notes beyond those held: the storage at least
// doubles when it grows, but never beyond `limit` notes, the most that the
// whole input can hold.
void makeNoteRoom(Timeline &timeline, uint64_t more, uint64_t limit);

// A key or velocity in MIDI's range, 0 to 127.
inline uint8_t midiValue(int value) { return uint8_t(value < 0 ? 0 : value > 127 ? 127 : value); }

inline void stopNotes(Timeline &timeline, int stop, uint64_t at, uint32_t number) {
  timeline.notesStopped = {stop, at, number};
}

// The piece lasts at least until `endMs`, which was rounded up from the
// millisecond before when `roundedUp`.
inline void extendDuration(Timeline &timeline, int64_t endMs, bool roundedUp = false) {
  if (endMs > timeline.durationMs) timeline.durationMs = endMs;
  if (endMs - roundedUp > timeline.durationFloorMs) timeline.durationFloorMs = endMs - roundedUp;
}

// What a sequence or a header says of a channel's sound (from 1); channels
// past those that ChannelVoice describes are left out. The last word wins.
inline void setProgram(Timeline &timeline, int channel, int program) {
  if (channel >= 1 && channel <= describedChannels) timeline.voices[channel - 1].program = int16_t(program);
}
inline void setBank(Timeline &timeline, int channel, int bank) {
  if (channel >= 1 && channel <= describedChannels) timeline.voices[channel - 1].bank = int16_t(bank);
}
inline void setRhythm(Timeline &timeline, int channel, bool rhythm) {
  if (channel >= 1 && channel <= describedChannels) timeline.voices[channel - 1].rhythm = rhythm;
}

// The decoders of each format, on an image whose first magic is theirs.
void decodeMelodyTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline);
void decodeSmafTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline);
