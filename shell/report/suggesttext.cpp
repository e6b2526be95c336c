#include "shell/report/suggesttext.h"

#include <cstdio>

#include "shell/report/suggestwords.h"
#include "shell/report/textdecode.h"

namespace {

// Columns a character takes in a terminal: two for the wide ones of East
// Asian scripts (kana, kanji, full-width forms), one for others.
int columnsOf(const std::string &utf8) {
  int columns = 0;
  for (size_t at = 0; at < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[at]);
    int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    uint32_t point = length == 3 ? (c & 0x0Fu) << 12 | (utf8[at + 1] & 0x3Fu) << 6 | (utf8[at + 2] & 0x3Fu) : 0;
    columns += (point >= 0x2E80 && point <= 0xA4CF) || (point >= 0xFF00 && point <= 0xFF60) ? 2 : 1;
    at += size_t(length);
  }
  return columns;
}

std::string padded(std::string text, int columns) {
  for (int used = columnsOf(text); used < columns; ++used) text += ' ';
  return text;
}

std::string pathLine(const char *path) { return printablePath(path) + "\n"; }

// "vibration 6 (bass): why", the label padded to ten columns.
std::string choiceLine(const FileSuggestion &file, bool vibration, Language language, const char *allTracksChoice) {
  uint16_t channels = vibration ? file.suggestion.vibration : file.suggestion.led;
  std::string line = "  " + padded(inLanguage(vibration ? msgSuggestVibration : msgSuggestLed, language), 10);
  if (!channels) {
    line += inLanguage(msgSuggestNone, language);
  } else {
    line += channelListText(channels) + " (" + rolesText(channels, file.roles, language) + ")";
  }
  return line + ": " + reasonText(file.suggestion, file.roles, vibration, language, allTracksChoice) + "\n";
}

// "ch  5 melody   60–79  1.8 notes/s  sounds 62%"
std::string channelLine(int channel, const ChannelFigures &f, Language language) {
  char number[8], keys[16], rate[16], share[8];
  std::snprintf(number, sizeof number, "ch%3d ", channel);
  std::snprintf(keys, sizeof keys, "%d\u2013%d", f.lowKey, f.highKey);
  std::snprintf(rate, sizeof rate, "%4s", decimalText(f.onsetsPerSecond, 1).c_str());
  std::snprintf(share, sizeof share, "%2s", decimalText(100 * f.duty, 0).c_str());
  std::string figures = fillToken(inLanguage(msgChannelFigures, language), "rate", rate);
  return "  " + std::string(number) + padded(roleName(f.role, language), 8) + " " + padded(keys, 5) + " " +
         fillToken(figures, "share", share) + "\n";
}

}  // namespace

std::string suggestionText(const char *path, const FileSuggestion &file, Language language,
                           const char *allTracksChoice) {
  std::string out = pathLine(path);
  out += choiceLine(file, true, language, allTracksChoice);
  out += choiceLine(file, false, language, allTracksChoice);
  for (int k = 0; k < describedChannels; ++k)
    if ((file.roles.withNotes >> k) & 1) out += channelLine(k + 1, file.roles.figures[k], language);
  std::string sentence =
      readingStopSentence(file.info.formatKind, file.info.stopped, file.timeline.notesStopped, language);
  if (!sentence.empty()) out += "  " + padded("error", 10) + sentence + "\n";
  return out;
}

std::string unreadableSuggestionText(const char *path, const char *reason) {
  return pathLine(path) + "  " + padded("error", 10) + reason + "\n";
}
