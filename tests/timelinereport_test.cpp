// The timeline's reports: the JSON line with its notes in report order, and
// the strips for a person.
#include <gtest/gtest.h>

#include "shell/report/timelinejson.h"
#include "shell/report/timelinetext.h"
#include "tests/timelineimages.h"

namespace {

std::string json(const char *path, const Bytes &image) {
  return melodyTimelineJson(path, image.data(), uint32_t(image.size()));
}

// The strips, with the channels' roles read from the same timeline.
std::string strips(const char *path, const Timeline &timeline, uint32_t vib, uint32_t led, const StripLayout &layout,
                   Language language) {
  ChannelRoles roles;
  readChannelRoles(timeline, &roles);
  return timelineText(path, timeline, roles, vib, led, layout, language);
}

}  // namespace

// Starts and ends rounded to the millisecond; notes by start, channel, key.
TEST(TimelineReport, JsonOfEachKindOfFile) {
  struct Case {
    const char *name;
    Bytes image;
    const char *line;
  } cases[] = {
      {"t.mld", tempoMapMelody(),
       "{\"path\":\"t.mld\",\"format\":\"i-melody\",\"error\":null,\"durationMs\":7104,\"loops\":true,\"channels\":16,"
       "\"notes\":[[1,496,248,64],[1,1860,220,64],[6,2677,129,60],[7,6846,258,60]],\"recordedSound\":[]}"},
      {"h.mmf", smaf(handyPhoneTracks()),
       "{\"path\":\"h.mmf\",\"format\":\"SMAF\",\"error\":null,\"durationMs\":3033,\"loops\":false,\"channels\":16,"
       "\"notes\":[[1,0,160,84],[7,0,80,48],[9,64,80,46],[16,64,80,82],[4,1088,1945,41],[2,1108,80,25],[2,1108,80,61]],"
       "\"recordedSound\":[]}"},
      {"a.mmf", smaf(audioTracks() + audioTrack(2, 0, 0x02, 0x02, atsq(hex("7D 01 7D  00 01 7D  00 00 00 00")))),
       "{\"path\":\"a.mmf\",\"format\":\"SMAF\",\"error\":null,\"durationMs\":2500,\"loops\":false,\"channels\":16,"
       "\"notes\":[],\"recordedSound\":[[0,1000],[500,500],[500,500],[500,1000],[2000,500]]}"},
      {"cut.mmf", smaf(audioTrack(4, 0, 0x02, 0x02, atsq(hex("00 01 7D  00 02")))),
       "{\"path\":\"cut.mmf\",\"format\":\"SMAF\",\"error\":\"the notes of audio track 4 end in the middle of an event "
       "at offset 35\",\"durationMs\":500,\"loops\":false,\"channels\":16,\"notes\":[],\"recordedSound\":[[0,500]]}"},
      {"w.mmf", smaf(wideTrack()),
       "{\"path\":\"w.mmf\",\"format\":\"SMAF\",\"error\":null,\"durationMs\":16,\"loops\":false,\"channels\":32,"
       "\"notes\":[[16,0,16,60],[17,0,16,48],[32,0,16,62]],\"recordedSound\":[]}"},
      {"zero.mld", melody(vers('2'), track(hex("00 0F 30  00 FF C3 00  00 0F 30"))),
       "{\"path\":\"zero.mld\",\"format\":\"i-melody\",\"error\":\"track 1 sets a tempo of 0 at offset 34\","
       "\"durationMs\":469,\"loops\":false,\"channels\":16,\"notes\":[[1,0,469,60]],\"recordedSound\":[]}"},
      {"x.txt", ascii("no tune"),
       "{\"path\":\"x.txt\",\"format\":null,\"error\":\"not an i-melody or SMAF file\",\"durationMs\":null,"
       "\"loops\":null,\"channels\":null,\"notes\":[],\"recordedSound\":[]}"},
  };
  for (const Case &c : cases) EXPECT_EQ(json(c.name, c.image), c.line) << c.name;
  EXPECT_EQ(unreadableTimelineJson("gone.mld", "cannot read: gone"),
            "{\"path\":\"gone.mld\",\"format\":null,\"error\":\"cannot read: gone\",\"durationMs\":null,"
            "\"loops\":null,\"channels\":null,\"notes\":[],\"recordedSound\":[]}");
}

// Eight columns of 125 ms: each shows in four steps how much of its time a
// note sounds, overlapping notes once, or a mark where notes begin but sound
// for a quarter of it or less; the vibration and LED strips follow the
// channels of their masks, marked V and L beside each channel's role.
TEST(TimelineReport, StripsShowHowMuchOfEachColumnSounds) {
  Timeline timeline = {};
  timeline.formatKind = FORMAT_IMELODY;
  timeline.durationMs = timeline.durationFloorMs = 1000;
  timeline.channels = 16;
  timeline.notes = {{0, 125, 1, 60, 127},  {125, 31, 1, 60, 127}, {250, 62, 1, 60, 127}, {375, 93, 1, 60, 127},
                    {500, 62, 1, 60, 127}, {500, 62, 1, 64, 127}, {600, 400, 3, 60, 127}};
  timeline.notesStopped = {TIMELINE_TEMPO_ZERO, 40, 2};
  struct Case {
    bool blocks;
    const char *text;
  } cases[] = {
      {false,
       "a.mld\n"
       "  i-melody, 0:01.0\n"
       "  ch  1 melody   L |#!:+:   |\n"
       "  ch  3 other  V L |    !###|\n"
       "  vibration        |    !###|\n"
       "  LED              |#!:++###|\n"
       "  seconds           0       1\n"
       "  error            track 2 sets a tempo of 0 at offset 40\n"},
      {true,
       "a.mld\n"
       "  i-melody, 0:01.0\n"
       "  ch  1 melody   L |\u2588\u258C\u2583\u2585\u2583   |\n"
       "  ch  3 other  V L |    \u258C\u2588\u2588\u2588|\n"
       "  vibration        |    \u258C\u2588\u2588\u2588|\n"
       "  LED              |\u2588\u258C\u2583\u2585\u2585\u2588\u2588\u2588|\n"
       "  seconds           0       1\n"
       "  error            track 2 sets a tempo of 0 at offset 40\n"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(strips("a.mld", timeline, 0x0004, 0x0005, {29, c.blocks}, LANGUAGE_ENGLISH), c.text);
}

// Recorded sound gets a row of its own, which says in the user's language
// that nothing follows it, before the vibration's and the LED's.
TEST(TimelineReport, RecordedSoundHasARowThatIsNotLinked) {
  Timeline timeline = {};
  timeline.formatKind = FORMAT_SMAF;
  timeline.durationMs = timeline.durationFloorMs = 1000;
  timeline.channels = 16;
  timeline.notes = {{0, 250, 1, 60, 127}};
  timeline.recordedSound = {{500, 500}, {0, 125}};
  EXPECT_EQ(strips("r.mmf", timeline, 1, 0, {29, false}, LANGUAGE_ENGLISH),
            "r.mmf\n"
            "  SMAF, 0:01.0\n"
            "  ch  1 melody V   |##      |\n"
            "  recording        |#   ####| not linked\n"
            "  vibration        |##      |\n"
            "  LED              |        |\n"
            "  seconds           0       1\n");
  std::string japanese = strips("r.mmf", timeline, 1, 0, {31, false}, LANGUAGE_JAPANESE);
  EXPECT_NE(japanese.find("  \u9332\u97f3               |#   ####| \u9023\u52d5\u3057\u307e\u305b\u3093\n"),
            std::string::npos)
      << japanese;
}

// Marks at least six columns apart and two more than the longest label, in
// whole seconds or in tenths, past an hour 5, 10, 20, 50, ... thousand; a
// mark that would run past the line is left out.
TEST(TimelineReport, AxisMarksSecondsOrTenths) {
  struct Case {
    int64_t durationMs;
    int width;
    const char *axis;
  } cases[] = {
      {1000, 29, "  seconds           0       1"},
      {1000, 61, "  seconds           0       0.2     0.4     0.6     0.8     1"},
      {600000, 71, "  seconds           0         120       240       360       480"},
      {0, 71, "  seconds           0"},
      {1305600000000, 71, "  seconds           0                  500000000          1000000000"},
  };
  for (const Case &c : cases) {
    Timeline timeline = {};
    timeline.formatKind = FORMAT_SMAF;
    timeline.durationMs = c.durationMs;
    std::string text = strips("s.mmf", timeline, 0, 0, {c.width, false}, LANGUAGE_ENGLISH);
    size_t at = text.find("  seconds");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.substr(at, text.find('\n', at) - at), c.axis) << c.durationMs;
  }
}

// However long the piece and narrow the line, the marks read 0, s, 2s, ...
// each where its time falls, with a blank at least between two of them:
// labels that touched would read as one number out of that order.
TEST(TimelineReport, AxisLabelsNeverTouch) {
  const double durations[] = {1, 999, 59999, 3.6e6, 3.6e7, 1.3e12, 4e15};
  const int widths[] = {20, 40, 64, 80, 132};
  for (double durationMs : durations) {
    for (int width : widths) {
      Timeline timeline = {};
      timeline.formatKind = FORMAT_IMELODY;
      timeline.durationMs = durationMs;
      std::string text = strips("s.mld", timeline, 0, 0, {width, false}, LANGUAGE_ENGLISH);
      // The strips and the marks begin after the labels' column.
      size_t at = text.find("  seconds"), strip = text.find('|', text.find("  LED")) + 1;
      ASSERT_NE(at, std::string::npos) << text;
      size_t label = strip - text.rfind('\n', strip) - 1;
      std::string axis = text.substr(at + label, text.find('\n', at) - at - label);
      int columns = std::max(1, width - int(label) - 1);
      std::vector<std::pair<size_t, double>> marks;  // column and seconds
      for (size_t from = axis.find_first_not_of(' '); from != std::string::npos;) {
        size_t to = std::min(axis.find(' ', from), axis.size());
        marks.push_back({from, std::stod(axis.substr(from, to - from))});
        from = axis.find_first_not_of(' ', to);
      }
      std::string where = std::to_string(durationMs) + " ms at width " + std::to_string(width) + ": " + axis;
      ASSERT_GE(marks.size(), width >= 64 && durationMs >= 999 ? 2u : 1u) << where;
      EXPECT_LE(axis.size(), size_t(columns) + 1) << where;
      for (size_t k = 0; k < marks.size(); ++k) {
        double seconds = k ? k * marks[1].second : 0;
        EXPECT_DOUBLE_EQ(marks[k].second, seconds) << where;
        EXPECT_NEAR(double(marks[k].first), seconds * 1000 / durationMs * columns, 0.5) << where;
      }
    }
  }
}
