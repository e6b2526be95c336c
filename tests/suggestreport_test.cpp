// The suggestion's reports: the text block and the JSON line, their reasons
// in both languages, and the warnings as sentences.
#include <gtest/gtest.h>

#include "shell/report/suggestjson.h"
#include "shell/report/suggesttext.h"
#include "shell/report/suggestwords.h"
#include "tests/partimages.h"

namespace {

FileSuggestion suggestionOf(const Bytes &image, bool allTracks = false) {
  FileSuggestion file;
  suggestForImage(image.data(), image.size(), allTracks, &file);
  return file;
}

std::string text(const char *path, const Bytes &image, Language language, bool allTracks = false) {
  return suggestionText(path, suggestionOf(image, allTracks), language, "--all-tracks");
}

const Piece band = pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}, {PART_PAD, 1}}, {4, 480, 72, 1});

// A tune of two notes over a bass of two short ones, in one second.
const Piece duet = {{{1, 0, 400, 72}, {1, 500, 400, 74}, {2, 0, 200, 48}, {2, 500, 200, 50}}, 1000};

}  // namespace

TEST(SuggestReport, TextForAPerson) {
  EXPECT_EQ(text("band.mld", melodyOf(band), LANGUAGE_ENGLISH),
            "band.mld\n"
            "  vibration 6 (bass): the bass line pulses about twice a second, easy to feel\n"
            "  LED       5 (melody): the light follows the tune, whose notes come about twice a second\n"
            "  ch  1 chords   60–72  0.5 notes/s  sounds 99%\n"
            "  ch  5 melody   71–88  1.6 notes/s  sounds 81%\n"
            "  ch  6 bass     48–65  2.1 notes/s  sounds 40%\n"
            "  ch 10 drums    36–42  4.2 notes/s  sounds  8%\n");
  EXPECT_EQ(text("band.mmf", smaf(mobileScoreTrack(band)), LANGUAGE_JAPANESE),
            "band.mmf\n"
            "  バイブ    6 (ベース): ベースに合わせて 1 秒に約 2 回、心地よく震えます\n"
            "  LED       5 (メロディ): メロディに合わせて光ります (音符は 1 秒に約 2 回)\n"
            "  ch  1 和音     60–72  0.5 音/秒  鳴る 99%\n"
            "  ch  5 メロディ 71–88  1.6 音/秒  鳴る 81%\n"
            "  ch  6 ベース   48–65  2.1 音/秒  鳴る 40%\n"
            "  ch 10 ドラム   36–42  4.2 音/秒  鳴る  8%\n");
}

// Where the file can carry nothing, or less than the suggestion, the line
// says why; where its reading stopped, the error line says where.
TEST(SuggestReport, ReasonsWhereTheFileHoldsLess) {
  Bytes cut = melodyOf(duet, '1');
  cut.resize(cut.size() - 3);
  Bytes later = mobileScoreTrack(duet), emptyLater = mobileScoreTrack({{}, 0});
  later[3] = emptyLater[3] = 0x06;
  struct Case {
    const char *name;
    Bytes image;
    bool allTracks;
    Language language;
    const char *lines;
  } cases[] = {
      {"one.mld", melodyOf(duet, '1'), false, LANGUAGE_ENGLISH,
       "  vibration none: i-melody version 1 holds no links\n"
       "  LED       none: i-melody version 1 holds no links\n"},
      {"cut.mld", cut, false, LANGUAGE_ENGLISH,
       "  vibration none: the file cannot be read whole\n"
       "  LED       none: the file cannot be read whole\n"},
      {"six.mmf", smaf(later), false, LANGUAGE_ENGLISH,
       "  vibration none: this file holds links only in score tracks 6 and 7; --all-tracks links them\n"
       "  LED       none: this file holds links only in score tracks 6 and 7; --all-tracks links them\n"},
      {"kept.mmf", smaf(mobileScoreTrack(duet) + emptyLater), false, LANGUAGE_ENGLISH,
       "  vibration 2 (bass): the bass line pulses about twice a second, easy to feel; score tracks 6 and 7 keep "
       "their links; --all-tracks links them too\n"
       "  LED       1 (melody): the light follows the tune, whose notes come about twice a second; score tracks 6 "
       "and 7 keep their links; --all-tracks links them too\n"},
      {"hand.mmf", smaf(handyPhoneScoreTracks(duet, 1)), false, LANGUAGE_JAPANESE,
       "  バイブ    2 (ベース): ベースに合わせて 1 秒に約 2 回、心地よく震えます\n"
       "  LED       なし: LED を入れる場所がありません\n"},
      {"empty.mmf", smaf(cnti({})), false, LANGUAGE_JAPANESE,
       "  バイブ    なし: バイブを持てるトラックがありません\n"
       "  LED       なし: 合わせる音符がありません\n"},
  };
  for (const Case &c : cases) {
    std::string report = text(c.name, c.image, c.language, c.allTracks);
    EXPECT_EQ(report.substr(0, report.find("  ch")).substr(std::string(c.name).size() + 1), c.lines) << c.name;
  }
  std::string report = text("cut.mld", cut, LANGUAGE_ENGLISH);
  EXPECT_EQ(report.substr(report.find("  error")), "  error     track 4 runs past the end of the file at offset 95\n");
  EXPECT_EQ(unreadableSuggestionText("gone.mld", "cannot read: gone"), "gone.mld\n  error     cannot read: gone\n");
}

TEST(SuggestReport, JsonLine) {
  EXPECT_EQ(
      suggestionJson("duet.mld", suggestionOf(melodyOf(duet)), false, LANGUAGE_ENGLISH, "--all-tracks"),
      "{\"path\":\"duet.mld\",\"format\":\"i-melody\",\"error\":null,\"allTracks\":false,\"vibration\":[2],\"led\":[1],"
      "\"reasons\":{\"vibration\":\"the bass line pulses about twice a second, easy to feel\","
      "\"led\":\"the light follows the tune, whose notes come about twice a second\"},"
      "\"channels\":[{\"channel\":1,\"role\":\"melody\",\"notes\":2,\"lowKey\":72,\"highKey\":74,\"meanKey\":73,"
      "\"duty\":0.8,\"onsetsPerSecond\":2,\"longestMs\":400,\"shortShare\":0,\"polyphony\":1,\"distinctKeys\":2},"
      "{\"channel\":2,\"role\":\"bass\",\"notes\":2,\"lowKey\":48,\"highKey\":50,\"meanKey\":49,\"duty\":0.4,"
      "\"onsetsPerSecond\":2,\"longestMs\":200,\"shortShare\":0,\"polyphony\":1,\"distinctKeys\":2}],"
      "\"pattern\":{\"vibration\":{\"duty\":0.4,\"pulsesPerSecond\":2,\"longestMs\":200,\"shortShare\":0},"
      "\"led\":{\"duty\":0.8,\"pulsesPerSecond\":2,\"longestMs\":400,\"shortShare\":0}}}");
  Bytes silent = smaf(mobileScoreTrack({{}, 1000}));
  EXPECT_EQ(
      melodySuggestionJson("silent.mmf", silent.data(), uint32_t(silent.size()), true, LANGUAGE_JAPANESE,
                           "--all-tracks"),
      "{\"path\":\"silent.mmf\",\"format\":\"SMAF\",\"error\":null,\"allTracks\":true,\"vibration\":[],\"led\":[],"
      "\"reasons\":{\"vibration\":\"合わせる音符がありません\",\"led\":\"合わせる音符がありません\"},\"channels\":[],"
      "\"pattern\":{\"vibration\":{\"duty\":0,\"pulsesPerSecond\":0,\"longestMs\":0,\"shortShare\":0},"
      "\"led\":{\"duty\":0,\"pulsesPerSecond\":0,\"longestMs\":0,\"shortShare\":0}}}");
  Bytes none = ascii("no tune");
  EXPECT_EQ(melodySuggestionJson("x.txt", none.data(), uint32_t(none.size()), false, LANGUAGE_ENGLISH, "--all-tracks"),
            "{\"path\":\"x.txt\",\"format\":null,\"error\":\"not an i-melody or SMAF file\",\"allTracks\":false,"
            "\"vibration\":[],\"led\":[],\"reasons\":{\"vibration\":\"the file cannot be read whole\","
            "\"led\":\"the file cannot be read whole\"},\"channels\":[],"
            "\"pattern\":{\"vibration\":{\"duty\":0,\"pulsesPerSecond\":0,\"longestMs\":0,\"shortShare\":0},"
            "\"led\":{\"duty\":0,\"pulsesPerSecond\":0,\"longestMs\":0,\"shortShare\":0}}}");
  EXPECT_EQ(unreadableSuggestionJson("gone.mld", "cannot read: gone", false, LANGUAGE_ENGLISH),
            "{\"path\":\"gone.mld\",\"format\":null,\"error\":\"cannot read: gone\",\"allTracks\":false,"
            "\"vibration\":[],\"led\":[],\"reasons\":{\"vibration\":\"the file cannot be read whole\","
            "\"led\":\"the file cannot be read whole\"},\"channels\":[],"
            "\"pattern\":{\"vibration\":{\"duty\":0,\"pulsesPerSecond\":0,\"longestMs\":0,\"shortShare\":0},"
            "\"led\":{\"duty\":0,\"pulsesPerSecond\":0,\"longestMs\":0,\"shortShare\":0}}}");
}

TEST(SuggestReport, WordsForRatesAndWarnings) {
  struct Rate {
    double perSecond;
    Language language;
    const char *text;
  } rates[] = {
      {0.4, LANGUAGE_ENGLISH, "about once every 3 seconds"},
      {0.9, LANGUAGE_ENGLISH, "about once a second"},
      {1.6, LANGUAGE_ENGLISH, "about twice a second"},
      {3.4, LANGUAGE_ENGLISH, "about 3 times a second"},
      {0.5, LANGUAGE_JAPANESE, "約 2 秒に 1 回"},
      {6, LANGUAGE_JAPANESE, "1 秒に約 6 回"},
  };
  for (const Rate &r : rates) EXPECT_EQ(rateText(r.perSecond, r.language), r.text) << r.perSecond;
  PhoneWarnings all = {0x8000, 0x0004, false, true, true, true};
  EXPECT_EQ(
      warningSentences(all, LANGUAGE_ENGLISH),
      (std::vector<std::string>{
          "channel 16 never plays: the vibrator will not follow it", "channel 3 never plays: the LED will not light",
          "the vibration pulses are too short to feel", "the vibrator runs almost all the time"}));
  PhoneWarnings still = {0x8000, 0, true, false, false, false};
  EXPECT_EQ(warningLine(still, LANGUAGE_ENGLISH), "channel 16 never plays: the vibrator will not run");
  EXPECT_EQ(
      warningLine(all, LANGUAGE_JAPANESE),
      "チャンネル 16 は一度も鳴らないので、バイブはそれに合わせて動きません。チャンネル 3 は一度も鳴らないので、LED "
      "は光りません。バイブの振動が短すぎて感じられません。バイブがほとんど鳴りっぱなしです");
  EXPECT_EQ(warningLine({}, LANGUAGE_ENGLISH), "");
}
