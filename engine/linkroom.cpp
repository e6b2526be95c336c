#include "engine/linkroom.h"

#include "engine/format.h"

namespace {

const uint16_t everyChannel = 0xFFFF;
const uint32_t contentsInfoId = 0x434E5449;  // "CNTI"

bool hasContentsInfo(const MelodyInfo &info) {
  for (uint32_t id : info.chunkIds)
    if (id == contentsInfoId) return true;
  return false;
}

// The first track holds the links in its version's form: version 2 one
// channel for each device, version 3 a table of all 16, others none.
LinkRoom melodyRoom(const MelodyInfo &info) {
  LinkRoom room = {};
  room.linkVersion = info.linkVersion;
  RoomLimit limit = info.tracks == 0                                 ? ROOM_NO_TRACK
                    : info.linkVersion == 2 || info.linkVersion == 3 ? ROOM_OPEN
                                                                     : ROOM_NO_LINKS;
  room.vibrationLimit = room.ledLimit = limit;
  if (limit != ROOM_OPEN) return room;
  room.vibration = room.led = everyChannel;
  room.vibrationMost = info.linkVersion == 2 ? 1 : 2;
  return room;
}

// Vibration on the channels that the score tracks hold; the LED on those of
// tracks 5 to 7 and, through the contents-info chunk's tag, which names the
// lowest LED channel, on any one channel. Tracks 6 and 7 count only when a
// conversion rewrites them; otherwise they keep their links.
LinkRoom smafRoom(const MelodyInfo &info, bool allTracks) {
  LinkRoom room = {};
  uint32_t later = allTracks ? info.laterTrackPlaces : 0;
  room.vibration = uint16_t(info.vibPlaces | later);
  room.led = hasContentsInfo(info) ? everyChannel : uint16_t(info.ledPlaces | later);
  room.vibrationMost = 2;
  room.laterTracksKept = info.laterTrackPlaces && !allTracks;
  bool laterOnly = room.laterTracksKept;
  if (!room.vibration) room.vibrationLimit = laterOnly ? ROOM_LATER_TRACKS_ONLY : ROOM_NO_VIBRATION_TRACK;
  if (!room.led) room.ledLimit = laterOnly ? ROOM_LATER_TRACKS_ONLY : ROOM_NO_LED_PLACE;
  return room;
}

}  // namespace

LinkRoom linkRoom(const MelodyInfo &info, bool allTracks) {
  if (info.formatKind == FORMAT_NONE || info.stopped.stop != 0) {
    LinkRoom room = {};
    room.vibrationLimit = room.ledLimit = ROOM_UNREADABLE;
    return room;
  }
  return info.formatKind == FORMAT_IMELODY ? melodyRoom(info) : smafRoom(info, allTracks);
}
