// The suggestion for a file: the channels that the phone's vibrator and LED
// should follow, chosen from what each channel plays, with the reason for
// each, and only what the file can carry, so that converting with it links
// exactly what it names.
//
// Vibrator: one channel, or two together, whose pattern keeps within the
// comfortable bands (duty 0.15 to 0.5, 0.5 to 4 pulses a second, no pulse
// longer than a second, at most a fifth of the pulses under 80 ms); the bass
// first, then the drums, then any other. LED: the melody line, one whose
// notes come at most three a second where two could be the melody. Never a
// held chord or pad, nor a fast run, for either.
#pragma once

#include <cstdint>

#include "engine/channelroles.h"
#include "engine/inspect.h"
#include "engine/linkroom.h"
#include "engine/timeline.h"

enum ChoiceReason {
  CHOICE_NO_ROOM,       // the file links nothing to the device (the room's limit says why)
  CHOICE_NO_NOTES,      // the file has no notes
  CHOICE_NOTHING_FITS,  // only parts the device should not follow play
  CHOICE_NOT_CARRIED,   // the parts it could follow play on channels the file cannot link or a
                        // request cannot name (17 to 32)
  // vibration
  CHOICE_IN_BANDS,        // its pulses keep within every band
  CHOICE_BASS_FALLBACK,   // nothing keeps the bands: the bass line
  CHOICE_DRUMS_FALLBACK,  // nothing keeps the bands, no bass: the drums
  CHOICE_CLOSEST,         // nothing keeps the bands: the choice that misses the fewest
  // LED
  CHOICE_MELODY,         // the melody line
  CHOICE_SLOWER_MELODY,  // of the lines that could be the melody, one slow enough to follow
  CHOICE_TOP_LINE,       // no melody line: the highest other line
  CHOICE_BASS_LINE,      // no other line: the bass line
};

// Bit i of a mask stands for channel i + 1.
struct Suggestion {
  uint16_t vibration, led;
  ChoiceReason vibrationReason, ledReason;
  VibrationPattern vibrationPattern, ledPattern;
  LinkRoom room;
};

// The suggestion from a piece's channels, within the room.
void suggestLinks(const ChannelRoles &roles, const LinkRoom &room, Suggestion *suggestion);

// A file's suggestion and what it was made from, for its reports: the
// inspector's record (without the notes, which the timeline holds), the
// timeline, the channels' roles.
struct FileSuggestion {
  MelodyInfo info;
  Timeline timeline;
  ChannelRoles roles;
  Suggestion suggestion;
};

// Reads the image and suggests; `allTracks` lets it link SMAF score tracks
// 6 and 7 too. The storage of the notes and pulses is kept from an earlier
// call on the same record.
void suggestForImage(const uint8_t *bytes, uint64_t length, bool allTracks, FileSuggestion *file);
