// Which channels a conversion of a file can link to the vibrator and the
// LED, read from what the inspector found: the room that a suggestion keeps
// within, so that converting with it links exactly what it names.
#pragma once

#include <cstdint>

#include "engine/inspect.h"

// Why a device has no room.
enum RoomLimit {
  ROOM_OPEN,
  ROOM_UNREADABLE,          // no melody, or one that cannot be read whole
  ROOM_NO_TRACK,            // an i-melody without a track to hold links
  ROOM_NO_LINKS,            // an i-melody of a version that holds none
  ROOM_NO_VIBRATION_TRACK,  // SMAF: no score track that holds vibration
  ROOM_NO_LED_PLACE,        // SMAF: no place for the LED
  ROOM_LATER_TRACKS_ONLY,   // SMAF: only score tracks 6 and 7, linked with all tracks
};

// Bit i stands for channel i + 1; a request names channels 1 to 16.
struct LinkRoom {
  uint16_t vibration;                  // channels the vibrator can follow
  uint16_t led;                        // channels the LED can follow, one at a time
  int vibrationMost;                   // channels the vibrator can follow together: 1 or 2
  RoomLimit vibrationLimit, ledLimit;  // ROOM_OPEN where the device has room
  bool laterTracksKept;                // SMAF score tracks 6 and 7 keep the links they have
  uint8_t linkVersion;                 // the i-melody version that decides the links
};

// The room for a conversion of the file that `info` describes; `allTracks`
// has it link SMAF score tracks 6 and 7 too.
LinkRoom linkRoom(const MelodyInfo &info, bool allTracks);
