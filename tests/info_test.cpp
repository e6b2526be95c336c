// The inspector's reports: the JSON line and the text for a person.
#include <gtest/gtest.h>

#include "shell/report/infojson.h"
#include "shell/report/infotext.h"
#include "shell/report/textdecode.h"
#include "tests/timelineimages.h"

namespace {

std::string json(const char *path, const Bytes &image) {
  return melodyInfoJson(path, image.data(), uint32_t(image.size()));
}

std::string text(const char *path, const Bytes &image) {
  MelodyInfo info;
  inspectImage(image.data(), image.size(), &info);
  return infoText(path, info, image.data(), nullptr, LANGUAGE_ENGLISH);
}

Bytes title(const Bytes &text) { return ascii("titl") + be(uint32_t(text.size()), 2) + text; }

const Bytes melodyImage = melody(vers('2') + title(hex("83 81 83 8D 83 66 83 42")),  // "メロディ" in Shift-JIS
                                 track(hex("00 FF FF 00 05 11 F2 04 20 00  00 10 60  00 10 60  00 50 60")));

}  // namespace

TEST(InfoReport, JsonForEachFormat) {
  EXPECT_EQ(json("a.mld", melodyImage),
            "{\"path\":\"a.mld\",\"format\":\"i-melody\",\"length\":64,\"error\":null,\"version\":2,"
            "\"noteLength\":3,\"tracks\":1,\"title\":\"メロディ\",\"audioChunks\":0,"
            "\"links\":{\"vibration\":[1],\"led\":[]},\"durationMs\":938,\"notes\":{\"1\":2,\"2\":1},"
            "\"recordedSound\":null}");
  Bytes image = smaf(chunk(ascii("CNTI"), hex("00 01 23 00 00") + ascii("ST:Bell,") + ledTag(4)) +
                         scoreTrack(5, 2, 0x02, 0x02, Bytes(16, 0x30), hex("12 34")),
                     hex("00 00"));
  EXPECT_EQ(json("b.mmf", image),
            "{\"path\":\"b.mmf\",\"format\":\"SMAF\",\"length\":68,\"error\":null,\"scoreTrackType\":3,"
            "\"chunks\":[\"CNTI\",\"MTR5\"],\"title\":\"Bell\",\"crc\":\"ok\",\"trailingBytes\":2,"
            "\"links\":{\"vibration\":[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16],"
            "\"led\":[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16],\"ledTag\":5},\"durationMs\":0,\"notes\":{},"
            "\"recordedSound\":null}");
  EXPECT_EQ(json("c.txt", ascii("hello")),
            "{\"path\":\"c.txt\",\"format\":null,\"length\":5,\"error\":\"not an i-melody or SMAF file\"}");
  EXPECT_EQ(unreadableInfoJson("d.mld", "cannot read: gone"),
            "{\"path\":\"d.mld\",\"format\":null,\"length\":null,\"error\":\"cannot read: gone\"}");
}

TEST(InfoReport, JsonSaysWhereReadingStopped) {
  Bytes cut = melody(vers('2'), track(hex("00 10 60")));
  cut.resize(cut.size() - 1);
  std::string line = json("cut.mld", cut);
  EXPECT_NE(line.find("\"error\":\"track 1 runs past the end of the file at offset 31\""), std::string::npos) << line;
  EXPECT_NE(line.find("\"tracks\":1"), std::string::npos) << line;
}

// Whatever a file or a path holds, the JSON strings are valid UTF-8 with
// quotes, backslashes and control characters escaped.
TEST(InfoReport, JsonStringsAreEscapedAndValidUtf8) {
  struct Case {
    const char *name;
    const char *path;
    Bytes titleBytes;
    const char *expected;
  } cases[] = {
      {"quote, backslash, controls", "q.mld", ascii("a\"b\\c") + hex("01 0A 7F"),
       "\"a\\\"b\\\\c\\u0001\\u000a\\u007f\""},
      {"bytes that are no Shift-JIS", "s.mld", hex("41 83 FF 42 83"),
       "\"A\xEF\xBF\xBD\xEF\xBF\xBD"
       "B\xEF\xBF\xBD\""},
      {"half-width katakana", "k.mld", hex("B6 C5"), "\"ｶﾅ\""},
      {"a lead byte at the end", "e.mld", hex("41 81"), "\"A\xEF\xBF\xBD\""},
  };
  for (const Case &c : cases) {
    std::string line = json(c.path, melody(title(c.titleBytes), {}));
    EXPECT_NE(line.find(std::string("\"title\":") + c.expected), std::string::npos) << c.name << ": " << line;
  }
  EXPECT_EQ(json("x\xFFy\".mld", ascii("none")).substr(0, 21), "{\"path\":\"x\xEF\xBF\xBDy\\\".mld\"");
}

TEST(InfoReport, TextLinesWithBarsPerChannel) {
  EXPECT_EQ(text("a.mld", melodyImage),
            "a.mld\n"
            "  format   i-melody version 2, 3-byte notes, 1 track, 0 audio chunks\n"
            "  size     64 bytes\n"
            "  length   0:00.9\n"
            "  title    メロディ\n"
            "  links    vibration 1; LED none\n"
            "  notes    ch  1 ######################## 2\n"
            "           ch  2 ############             1\n");
  Bytes image = smaf(chunk(ascii("CNTI"), hex("00 01 00 00 00") + ascii("ST:\x1B[2J,")) + mtr(2, hex("44 00")));
  image.pop_back();
  EXPECT_EQ(text("b.mmf", image),
            "b.mmf\n"
            "  format   SMAF, made for phones that play 16 notes at once\n"
            "  size     46 bytes\n"
            "  length   0:00.0\n"
            "  title    \xEF\xBF\xBD[2J\n"
            "  parts    information, score track 2\n"
            "  CRC      missing, 0 bytes after it\n"
            "  links    vibration 5-6; LED none\n"
            "  notes    none\n");
}

// The length in milliseconds is rounded; its tenth of a second rounds from
// the unrounded length: 649.5 ms is 650 ms but 0:00.6.
TEST(InfoReport, LengthsTenthRoundsFromTheUnroundedLength) {
  Bytes image = melody(vers('2'), track(hex("00 FF C3 66  00 0F 35")));
  EXPECT_NE(json("t.mld", image).find("\"durationMs\":650,"), std::string::npos) << json("t.mld", image);
  EXPECT_NE(text("t.mld", image).find("  length   0:00.6\n"), std::string::npos) << text("t.mld", image);
}

// Recorded sound: a SMAF file's audio tracks, how many and how long their
// waves play (2000 ms of the 2500); an i-melody's audio chunks, whose time is
// not read. A file without any says nothing of it in the text and null in
// JSON.
TEST(InfoReport, RecordedSound) {
  Bytes adat = ascii("adat") + be(4, 4) + hex("01 02 03 04"), audio = audioTracks();
  struct Case {
    const char *name;
    Bytes image;
    Language language;
    const char *line, *json;
  } cases[] = {
      {"SMAF", smaf(audio), LANGUAGE_ENGLISH, "  recorded sound  2 audio tracks, 0:02.0\n",
       "\"recordedSound\":{\"tracks\":2,\"durationMs\":2000}}"},
      {"SMAF in Japanese", smaf(audio), LANGUAGE_JAPANESE,
       "  \u9332\u97f3     \u30aa\u30fc\u30c7\u30a3\u30aa\u30c8\u30e9\u30c3\u30af 2 \u672c\u30010:02.0\n", nullptr},
      {"one SMAF audio track without waves", smaf(audioTrack(0, 0, 0x02, 0x02, {})), LANGUAGE_ENGLISH,
       "  recorded sound  1 audio track, 0:00.0\n", "\"recordedSound\":{\"tracks\":1,\"durationMs\":0}}"},
      {"i-melody", melody(vers('4'), adat + track(hex("00 10 60"))), LANGUAGE_ENGLISH,
       "  recorded sound  in the file; when it plays is not read\n",
       "\"recordedSound\":{\"audioChunks\":1,\"durationMs\":null}}"},
      {"none", melody(vers('4'), track(hex("00 10 60"))), LANGUAGE_ENGLISH, nullptr, "\"recordedSound\":null}"},
  };
  for (const Case &c : cases) {
    MelodyInfo info;
    inspectImage(c.image.data(), c.image.size(), &info);
    std::string report = infoText("t", info, c.image.data(), nullptr, c.language), line = json("t", c.image);
    if (c.line) {
      EXPECT_NE(report.find(c.line), std::string::npos) << c.name << "\n" << report;
    } else {
      EXPECT_EQ(report.find("recorded sound"), std::string::npos) << c.name << "\n" << report;
    }
    if (c.json) {
      EXPECT_EQ(line.substr(line.size() - std::string(c.json).size()), c.json) << c.name << "\n" << line;
    }
  }
}

// Only the parts inside the file chunk are listed, in plain words (the JSON
// keeps their ids, a track's number in decimal); the phones a file is made
// for follow the last of its score tracks 0 to 5; without one it names none.
TEST(InfoReport, PartsInsideTheFileAndThePhonesMadeFor) {
  Bytes leading = chunk(ascii("abcd"), hex("01 02"));
  Bytes tracks = chunk(ascii("MTR") + Bytes{42}, hex("01")) + chunk(ascii("ATR") + Bytes{0}, hex("01")) +
                 chunk(ascii("MTR") + Bytes{'*'}, {}) + chunk(hex("4D 01 7F 20"), {}) +
                 chunk(ascii("GTR") + Bytes{1}, {}) + chunk(ascii("OPDA"), {});
  struct Case {
    const char *name;
    Bytes image;
    const char *format, *parts, *jsonChunks;
  } cases[] = {
      {"a chunk before the file chunk", leading + smaf(mtr(6, hex("00 00"))), "SMAF", "score track 6",
       "\"scoreTrackType\":1,\"chunks\":[\"MTR6\"]"},
      {"every kind of part", smaf(cnti({}) + tracks), "SMAF",
       "information, score track 42, recorded sound track 0, score track 42, other part \"M?? \", picture track 1, "
       "more information",
       "\"chunks\":[\"CNTI\",\"MTR42\",\"ATR0\",\"MTR42\",\"M?? \",\"GTR?\",\"OPDA\"]"},
      {"track 0", smaf(mtr(0, hex("00 00")) + mtr(6, hex("00 00"))), "SMAF, made for phones that play 4 notes at once",
       "score track 0, score track 6", "\"scoreTrackType\":1"},
      {"tracks 1 to 4", smaf(mtr(4, hex("00 00"))), "SMAF, made for phones that play 16 notes at once", "score track 4",
       "\"scoreTrackType\":2"},
      {"track 5", smaf(mtr(5, Bytes(16, 0))), "SMAF, made for phones that play 40 notes at once", "score track 5",
       "\"scoreTrackType\":3"},
      {"no chunk at all", smaf({}), "SMAF", "none", "\"length\":10,\"error\":null,\"chunks\":[]"},
  };
  for (const Case &c : cases) {
    std::string report = text("t.mmf", c.image), line = json("t.mmf", c.image);
    EXPECT_NE(report.find(std::string("  format   ") + c.format + "\n"), std::string::npos) << c.name << "\n" << report;
    EXPECT_NE(report.find(std::string("  parts    ") + c.parts + "\n"), std::string::npos) << c.name << "\n" << report;
    EXPECT_NE(line.find(c.jsonChunks), std::string::npos) << c.name << "\n" << line;
  }
  // The LED channel that the file's information names, where it names one.
  std::string report = text("t.mmf", smaf(cnti(ledTag(3)) + mtr(1, hex("00 00"))));
  EXPECT_NE(report.find("  links    vibration none; LED none; the file's information names LED channel 4\n"),
            std::string::npos)
      << report;
}

// Score track 7 of format type 3 names channels up to 32.
TEST(InfoReport, LinksOfTrack7UpTo32Channels) {
  Bytes status(32, 0x00);
  status[1] = 0x20, status[16] = 0x30, status[31] = 0x20, status[30] = 0x10;
  Bytes image = smaf(mtr(7, status, 3));
  EXPECT_NE(json("t.mmf", image).find("\"links\":{\"vibration\":[2,17,32],\"led\":[17,31],\"ledTag\":null}"),
            std::string::npos)
      << json("t.mmf", image);
  EXPECT_NE(text("t.mmf", image).find("  links    vibration 2,17,32; LED 17,31\n"), std::string::npos)
      << text("t.mmf", image);
}

TEST(InfoReport, ChannelListsInTheOptionsSyntax) {
  struct Case {
    uint32_t mask;
    const char *text;
  } cases[] = {{0, "none"},           {1, "1"},
               {0x8001, "1,16"},      {0x0F0F, "1-4,9-12"},
               {0x0006, "2-3"},       {0xFFFF, "1-16"},
               {0x00018000, "16-17"}, {0x80000001, "1,32"},
               {0xFFFF0000, "17-32"}, {0xFFFFFFFF, "1-32"}};
  for (const Case &c : cases) EXPECT_EQ(channelListText(c.mask), c.text) << c.mask;
}
