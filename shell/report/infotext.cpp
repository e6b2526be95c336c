#include "shell/report/infotext.h"

#include "engine/format.h"
#include "shell/report/phrases.h"
#include "shell/report/suggestwords.h"
#include "shell/report/textdecode.h"

namespace {

// A label of 9 columns or more is followed by two spaces.
std::string line(const char *label, const std::string &value) {
  return "  " + padToColumns(label, 9, 2) + value + "\n";
}

std::string plural(uint64_t count, const char *one, const char *many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A channel's role, padded so that the bars after it line up; nothing
// without roles.
std::string roleColumn(const ChannelRoles *roles, int channel, Language language) {
  if (!roles) return "";
  std::string role = hasNotes(*roles, channel) ? roleName(roles->figures[channel - 1].role, language) : "";
  return padToColumns(role, roleColumns(language) + 1, 1);
}

// One bar per channel that has notes, as long as its share of the busiest.
std::string noteBars(const MelodyInfo &info, const ChannelRoles *roles, Language language) {
  const int width = 24;
  uint32_t most = 0;
  for (uint32_t count : info.notes) most = count > most ? count : most;
  if (most == 0) return line("notes", "none");
  std::string out;
  for (int k = 0; k < 32; ++k) {
    if (!info.notes[k]) continue;
    int length = int((uint64_t(info.notes[k]) * width + most - 1) / most);
    std::string bar(size_t(length), '#');
    bar.resize(width + 1, ' ');
    std::string channel = (k < 9 ? " " : "") + std::to_string(k + 1);
    out += line(out.empty() ? "notes" : "",
                "ch " + channel + " " + roleColumn(roles, k + 1, language) + bar + std::to_string(info.notes[k]));
  }
  return out;
}

std::string formatText(const MelodyInfo &info) {
  if (info.formatKind == FORMAT_IMELODY)
    return "i-melody version " + std::to_string(info.version) + ", " + std::to_string(info.noteLength) +
           "-byte notes, " + plural(info.tracks, "track", "tracks") + ", " +
           plural(info.audioChunks, "audio chunk", "audio chunks");
  if (info.formatKind == FORMAT_SMAF) {
    std::string phones = phonesMadeFor(info, LANGUAGE_ENGLISH);
    return phones.empty() ? "SMAF" : "SMAF, made for " + phones;
  }
  return "none";
}

// SMAF's audio tracks, how many and how long they play; an i-melody's audio
// chunks, which the timeline does not place in time. Nothing without any.
std::string recordedSoundLine(const MelodyInfo &info, Language language) {
  std::string value;
  if (info.formatKind == FORMAT_IMELODY && info.audioChunks) value = inLanguage(msgRecordedSoundUntimed, language);
  if (info.formatKind == FORMAT_SMAF && info.audioTracks) {
    const Message &tracks = info.audioTracks == 1 ? msgRecordedSoundTrack : msgRecordedSoundTracks;
    value = fillToken(fillToken(inLanguage(tracks, language), "tracks", std::to_string(info.audioTracks)), "length",
                      durationText(info.recordedSoundMs));
  }
  return value.empty() ? "" : line(inLanguage(msgRecordedSound, language), value);
}

std::string melodyLines(const MelodyInfo &info, const ChannelRoles *roles, Language language) {
  return line("links", "vibration " + channelListText(info.vibLinks) + "; LED " + channelListText(info.ledLinks)) +
         noteBars(info, roles, language);
}

// A part of a SMAF file (a chunk) in plain words; its id in quotes where it
// has no name.
std::string partName(uint32_t id) {
  static const struct {
    const char *id;
    const char *name;
  } tracks[] = {{"MTR", "score track "}, {"ATR", "recorded sound track "}, {"GTR", "picture track "}};
  std::string text = chunkIdText(id);
  if (text == "CNTI") return "information";
  if (text == "OPDA") return "more information";
  for (const auto &track : tracks)
    if (text.compare(0, 3, track.id) == 0) return track.name + std::to_string(id & 0xFF);
  return "other part \"" + text + "\"";
}

std::string smafLines(const MelodyInfo &info, const ChannelRoles *roles, Language language) {
  static const char *const crcNames[] = {"missing", "ok", "bad"};
  std::string parts;
  for (uint32_t id : info.chunkIds) parts += (parts.empty() ? "" : ", ") + partName(id);
  std::string ledTag = info.ledTag ? "; the file's information names LED channel " + std::to_string(info.ledTag) : "";
  return line("parts", parts.empty() ? "none" : parts) +
         line("CRC",
              std::string(crcNames[info.crc]) + ", " + plural(info.trailingBytes, "byte", "bytes") + " after it") +
         line("links",
              "vibration " + channelListText(info.vibLinks) + "; LED " + channelListText(info.ledLinks) + ledTag) +
         noteBars(info, roles, language);
}

}  // namespace

std::string infoText(const char *path, const MelodyInfo &info, const uint8_t *bytes, const ChannelRoles *roles,
                     Language language) {
  std::string out = printablePath(path) + "\n";
  out += line("format", formatText(info)) + line("size", plural(info.length, "byte", "bytes"));
  if (info.formatKind != FORMAT_NONE) out += line("length", durationText(info.durationFloorMs));
  std::string title;
  if (titleText(info, bytes, &title)) out += line("title", printableText(title));
  if (info.formatKind == FORMAT_IMELODY) out += melodyLines(info, roles, language);
  if (info.formatKind == FORMAT_SMAF) out += smafLines(info, roles, language);
  out += recordedSoundLine(info, language);
  std::string sentence = stopSentence(info, language);
  if (!sentence.empty()) out += line("error", sentence);
  return out;
}

std::string unreadableInfoText(const char *path, const char *reason) {
  return printablePath(path) + "\n" + line("error", reason);
}
