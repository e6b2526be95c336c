// The inspector: what a melody image holds, read by the same walks that the
// rewriters follow, so that the two never disagree about a file. It takes
// the bytes and fills a plain record; it writes nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/walk.h"

enum CrcState { CRC_MISSING, CRC_OK, CRC_BAD };

// Encodings of a title's bytes.
enum TextEncoding { TEXT_UNKNOWN, TEXT_SHIFT_JIS, TEXT_LATIN1, TEXT_UTF8 };

// Bytes of the input that hold a text.
struct TextSpan {
  bool present;
  uint64_t at;
  uint64_t length;
  TextEncoding encoding;
};

struct MelodyInfo {
  int formatKind;  // FORMAT_NONE, FORMAT_IMELODY or FORMAT_SMAF
  uint64_t length;
  StopPlace stopped;
  TextSpan title;     // SMAF: the contents-info chunk's, else the optional-data chunk's
  uint32_t vibLinks;  // channels that the links name, bit i for channel i + 1
  uint32_t ledLinks;  // (i-melody: channels 1 to 16; SMAF: 1 to 32)
  // i-melody
  uint8_t version;
  uint8_t linkVersion;  // the version read before the first track, which decides its links
  uint8_t noteLength;
  uint32_t tracks;
  uint32_t audioChunks;
  // SMAF
  uint32_t audioTracks;  // audio tracks inside the file chunk: recorded sound
  uint8_t scoreTrackType;
  std::vector<uint32_t> chunkIds;  // big-endian four-byte ids of the chunks inside the file chunk
  CrcState crc;
  uint64_t trailingBytes;
  int ledTag;  // the channel an LED tag names (its byte + 1), 0 without one
  // Channels whose bits the score tracks have: vibration and LED in tracks 0
  // to 5, which every conversion rewrites, and both in tracks 6 and 7, which
  // only a conversion of all tracks does.
  uint32_t vibPlaces;
  uint32_t ledPlaces;
  uint32_t laterTrackPlaces;
  // The notes, as the timeline decodes them (engine/timeline.h)
  uint32_t notes[32];       // notes per channel: i-melody channels 1 to 16, every SMAF channel
  int64_t durationMs;       // the piece's length, rounded
  int64_t durationFloorMs;  // the same before rounding, its fraction of a millisecond dropped
  int64_t recordedSoundMs;  // how long the audio tracks' waves play (SMAF)
  StopPlace notesStopped;   // a TimelineStop: where decoding inside a track stopped
};

// Reads the image: finds its format as the converter does and walks it,
// and counts its notes with the timeline decoder.
void inspectImage(const uint8_t *bytes, uint64_t length, MelodyInfo *info);

struct Timeline;

// The same, counting the notes of a timeline that decodeTimeline made from
// the same bytes, for a caller that needs both.
void inspectWithTimeline(const uint8_t *bytes, uint64_t length, const Timeline &timeline, MelodyInfo *info);

// The same without the notes, for what needs only the links and the walk:
// notes, durationMs and notesStopped stay 0.
void inspectWithoutNotes(const uint8_t *bytes, uint64_t length, MelodyInfo *info);

// The LED channels that a file carries: its LED links and, in a SMAF file,
// the channel of its LED tag. Bit i stands for channel i + 1.
uint32_t ledChannelsCarried(const MelodyInfo &info);
