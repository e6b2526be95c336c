// Why a reading of a melody ended early, and where: the walks' own reasons
// and those of the note decoder. Every report that says why a file could not
// be read whole names one of these.
#pragma once

#include <cstdint>

// Why a walk ended early, where, and in which track or chunk (counted from
// 1). `stop` is the walk's own reason (a MelodyStop or SmafStop), or a
// reader's that looks inside what the walk hands over; 0 means the whole
// image was read.
struct StopPlace {
  int stop;
  uint64_t at;
  uint32_t number;
};

// Why a walk ended early. MELODY_FULL is the visitor's own: its output had
// no room left.
enum MelodyStop {
  MELODY_DONE,
  MELODY_FILE_CHUNK_CUT,     // the file chunk runs past the input's end
  MELODY_HEADER_CUT,         // a header sub-chunk runs past the input's end
  MELODY_AUDIO_CUT,          // an audio-data chunk runs past the input's end
  MELODY_TRACK_HEAD_CUT,     // a track chunk's head runs past the input's end
  MELODY_TRACK_CUT,          // an event of a track runs past the input's end
  MELODY_NO_FILE_CHUNK,      // the walk met no file chunk where the lengths could go
  MELODY_BODY_FIRST,         // an audio or track chunk stands before the file chunk
  MELODY_EVENT_PAST_TRACK,   // a track's last event runs past the track's declared end
  MELODY_SECOND_FILE_CHUNK,  // a second file chunk, whose lengths could not both be right
  MELODY_FULL,
};

// Why the SMAF walk ended early. SMAF_FULL is the visitor's own.
enum SmafStop {
  SMAF_DONE,
  SMAF_FILE_CHUNK_CUT,     // a file chunk's header runs past the input's end
  SMAF_CHUNK_CUT,          // a chunk runs past the input's end
  SMAF_CONTENTS_SHORT,     // a contents-info chunk has fewer than its 5 fixed bytes
  SMAF_SCORE_TRACK_SHORT,  // a score track is too short for its channel status bytes
  SMAF_NO_FILE_CHUNK,      // the walk met no file chunk where the length could go
  SMAF_SECOND_FILE_CHUNK,  // a second file chunk, whose lengths and CRCs could not all be right
  SMAF_FILE_CHUNK_SHORT,   // a file chunk whose declared length cannot hold its CRC
  SMAF_FULL,               // the visitor's own: its output had no room left
};

// Why decoding the notes stopped early, beyond the walk's own reasons.
enum TimelineStop {
  TIMELINE_DONE,
  TIMELINE_TEMPO_ZERO,          // an i-melody tempo event sets a tempo of 0
  TIMELINE_TOO_MANY_TRACKS,     // an i-melody track whose channels cannot be numbered
  TIMELINE_TRACK_HEADER_SHORT,  // a SMAF track too short for its header
  TIMELINE_UNKNOWN_FORMAT,      // a SMAF track of a sequence format not known here
  TIMELINE_UNKNOWN_TIME_BASE,   // a SMAF track's time base code is a reserved one
  TIMELINE_PART_CUT,            // a part of a SMAF track runs past the track's end
  TIMELINE_SEQUENCE_CUT,        // an event runs past the end of its sequence
  TIMELINE_ENDLESS_NUMBER,      // a variable-length number of more than four bytes
  TIMELINE_UNKNOWN_EVENT,       // an event that the sequence format does not have
  TIMELINE_HUFFMAN_CUT,         // a compressed sequence's bits end before its bytes
  TIMELINE_HUFFMAN_TREE,        // a compressed sequence's code tree is damaged
  TIMELINE_HUFFMAN_CLAIM,       // a compressed sequence claims more bytes than it has bits
};

// Beside the reason, a stop inside a SMAF audio track rather than a score
// track carries this flag.
inline constexpr int timelineInAudioTrack = 0x100;
