// What each channel of a melody plays, from its notes: plain figures per
// channel, a role (melody, bass, drums, chords, other), and the vibration
// pattern that a set of channels would give the phone's vibrator. It reads
// a Timeline and fills a plain record; it writes nothing else.
//
// Registers are judged against the piece's other channels, never by fixed
// keys, so that a piece moved by an octave keeps its roles; nothing depends
// on a channel's number, so that renumbered channels keep theirs.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/timeline.h"

enum ChannelRole { ROLE_MELODY, ROLE_BASS, ROLE_DRUMS, ROLE_CHORDS, ROLE_OTHER };

// The plain figures of one channel's notes. Shares and rates are of the
// whole piece (its length as the timeline gives it).
struct ChannelFigures {
  ChannelRole role;
  uint32_t notes;
  int lowKey, highKey;
  double meanKey;
  double duty;             // share of the piece during which a note sounds
  double onsetsPerSecond;  // notes that begin together count once
  double longestMs;        // the longest stretch that sounds without a break of 60 ms
  double shortShare;       // share of the notes shorter than 80 ms
  double polyphony;        // notes sounding at once, on average, while any sounds
  int distinctKeys;
  // What the roles and the choice of channels for the vibrator and the LED
  // look at beside the figures:
  bool chordal;  // notes begin together, one and a half or more on average
  bool held;     // notes held a second or longer on average: a pad or a drone
  bool fast;     // notes come faster than the hand or the eye can follow: a run or an arpeggio
};

// A stretch during which the phone's vibrator would run.
struct Pulse {
  double fromMs, toMs;
};

// What the vibrator would do following a set of channels: the union of their
// notes with gaps under 60 ms joined, as pulses.
struct VibrationPattern {
  double duty;  // share of the piece the vibrator runs
  double pulsesPerSecond;
  double longestMs;   // the longest pulse
  double shortShare;  // share of the pulses shorter than 80 ms
  uint32_t pulses;
};

// Where readChannelRoles gathers each channel's notes and writes its pulses
// first; kept from call to call, it only grows.
struct ChannelRoleRoom {
  std::vector<TimedNote> notes;
  std::vector<Pulse> pulses;
};

// The channels that the record describes: as --info counts them, i-melody
// channels 1 to 16 and every SMAF channel (1 to 32).
struct ChannelRoles {
  double pieceMs;
  uint32_t withNotes;                            // bit k: channel k + 1 has notes
  ChannelFigures figures[describedChannels];     // channel k + 1 at index k, where it has notes
  VibrationPattern own[describedChannels];       // each channel's pattern alone
  std::vector<Pulse> pulses[describedChannels];  // each channel's notes, gaps under 60 ms joined, in time order
  ChannelRoleRoom room;
};

// Fills the record from the timeline's notes and the channels' voices (a
// channel the file marks as a drum channel). The pulses' storage is kept
// from an earlier call on the same record.
void readChannelRoles(const Timeline &timeline, ChannelRoles *roles);

// The pattern of the channels of `channels` (bit k for channel k + 1) that
// have notes; all 0 for none.
VibrationPattern patternOf(const ChannelRoles &roles, uint32_t channels);

inline bool hasNotes(const ChannelRoles &roles, int channel) {
  return channel >= 1 && channel <= describedChannels && ((roles.withNotes >> (channel - 1)) & 1);
}
