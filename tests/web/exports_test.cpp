// The web page's C interface, natively: the same outcome, bytes, messages
// and reports as the engine and the native program give, results that stay
// apart until each is released; the suggestion of `--vib auto` for either
// state of the box, the roles, and the phone's warnings in both languages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/inspect.h"
#include "shell/report/carries.h"
#include "shell/report/infojson.h"
#include "shell/report/phrases.h"
#include "shell/report/resultmessage.h"
#include "shell/report/timelinejson.h"
#include "shell/web/exports.h"
#include "tests/partimages.h"

namespace {

// A version-2 melody with one old vibration link event.
const Bytes melodyV2 = melody(vers('2'), track(hex("07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00")));
// A SMAF file without score tracks, which names no message.
const Bytes smafPlain = smaf(chunk(ascii("ATR0"), ascii("melo")));
// A SMAF file for newer phones: score track 6 only.
const Bytes smafTrack6 = smaf(mtr(6, Bytes(16, 0), 2));

Bytes outputOf(const WebConversion *result) {
  const uint8_t *data = sorbelin_output(result);
  return data ? Bytes(data, data + sorbelin_output_length(result)) : Bytes();
}

bool holds(const std::string &json, const std::string &part) { return json.find(part) != std::string::npos; }

std::string both(const char *japanese, const char *english) {
  return "{\"japanese\":" + quoted(japanese) + ",\"english\":" + quoted(english) + "}";
}

std::string readJson(const char *name, const Bytes &input) {
  char *json = sorbelin_read(name, input.empty() ? nullptr : input.data(), uint32_t(input.size()), "[全]", "[all]");
  std::string copy = json ? json : "";
  std::free(json);
  return copy;
}

// A tune on channel 5, a bass on channel 6 and drums on channel 10.
const Piece band = pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}}, {4, 480, 67, 1, 55});

// The band in a SMAF file whose only score track is `track`.
Bytes bandInTrack(uint8_t track) {
  Bytes scoreTrack = mobileScoreTrack(band);
  scoreTrack[3] = track;
  return smaf(scoreTrack);
}

}  // namespace

TEST(WebExports, ConvertGivesTheEnginesResult) {
  struct Case {
    const char *name;
    Bytes input;
    uint16_t vibMask, ledMask;
    uint32_t flags;
    const char *outcome;
  } cases[] = {
      {"i-melody, LED linked", melodyV2, 2, 1, 0, "done"},
      {"i-melody, no LED", melodyV2, 0x8001, 0, 0, "done"},
      {"SMAF without a message", smafPlain, 1, 1, 0, "done"},
      {"no magic", ascii("plain text"), 1, 1, 0, "not-melody"},
      {"nothing", {}, 1, 1, 0, "not-melody"},
      {"malformed", hex("6D 65 6C 6F 00 00"), 1, 1, 0, "malformed"},
      {"SMAF track 6, all tracks", smafTrack6, 2, 4, SORBELIN_ALL_TRACKS, "done"},
      {"SMAF track 6 left alone", smafTrack6, 2, 4, 0, "done"},
  };
  // Every result is kept until all are made: each holds its own image.
  std::vector<WebConversion *> results;
  for (const Case &c : cases)
    results.push_back(sorbelin_convert("tune", c.input.empty() ? nullptr : c.input.data(), uint32_t(c.input.size()),
                                       c.vibMask, c.ledMask, c.flags, "[all]", "[all tracks]"));
  for (size_t k = 0; k < results.size(); ++k) {
    const Case &c = cases[k];
    ASSERT_NE(results[k], nullptr) << c.name;
    std::string json = sorbelin_conversion(results[k]);
    EXPECT_TRUE(holds(json, std::string("{\"outcome\":\"") + c.outcome + "\"")) << c.name << ": " << json;
    ConversionRequest request = {c.vibMask, c.ledMask, (c.flags & SORBELIN_ALL_TRACKS) != 0};
    ConvertedByRequest expected = convertWithRequest(c.input, request);
    EXPECT_EQ(toHex(outputOf(results[k])), toHex(expected.bytes)) << c.name;
    bool done = expected.result.outcome == CONVERT_DONE;
    EXPECT_EQ(sorbelin_output(results[k]) == nullptr, !done) << c.name;
    const ConversionResult &r = expected.result;
    const Message *message = done ? resultText(r.formatKind, r.formatVersion, lowestChannel(c.ledMask)) : nullptr;
    EXPECT_TRUE(holds(json, "\"message\":" + (message ? both(message->japanese, message->english) : "null")))
        << c.name << ": " << json;
    std::string carries = "null";
    if (done)
      carries = both(carriesLine("tune", r, request, "[all]", LANGUAGE_JAPANESE).c_str(),
                     carriesLine("tune", r, request, "[all tracks]", LANGUAGE_ENGLISH).c_str());
    EXPECT_TRUE(holds(json, "\"carries\":" + carries)) << c.name << ": " << json;
  }
  EXPECT_TRUE(holds(sorbelin_conversion(results[7]), "\"laterTracks\":true"));
  EXPECT_TRUE(holds(sorbelin_conversion(results[7]), "[all tracks] links them"));
  EXPECT_TRUE(holds(sorbelin_conversion(results[0]), "\"vibration\":[2],\"led\":[1]"));
  EXPECT_NE(toHex(outputOf(results[6])), toHex(outputOf(results[7]))) << "the flag reaches the rewriter";
  for (WebConversion *result : results) sorbelin_release(result);
  sorbelin_release(nullptr);
}

// One reading gives the native program's reports, --info's length text and
// the phones a SMAF file is made for.
TEST(WebExports, ReadGivesTheReportsLines) {
  struct Case {
    const char *name;
    Bytes input;
    std::string madeFor = "null";
  } cases[] = {{"tune.mld", melodyV2},
               {"着信.mmf", smafPlain},
               {"new.mmf", smafTrack6},
               {"five.mmf", smaf(mtr(5, Bytes(16, 0)) + mtr(6, Bytes(16, 0), 2)),
                both("40和音の機種", "phones that play 40 notes at once")},
               {"notes.txt", ascii("plain text")},
               {"empty.mld", {}}};
  for (const Case &c : cases) {
    const uint8_t *bytes = c.input.empty() ? nullptr : c.input.data();
    uint32_t length = uint32_t(c.input.size());
    std::string json = readJson(c.name, c.input);
    MelodyInfo info;
    inspectImage(bytes, length, &info);
    std::string lengthText = info.formatKind ? quoted(durationText(info.durationFloorMs)) : "null";
    std::string reports = "{\"info\":" + melodyInfoJson(c.name, bytes, length) +
                          ",\"timeline\":" + melodyTimelineJson(c.name, bytes, length) + ",\"length\":" + lengthText +
                          ",\"madeFor\":" + c.madeFor + ",\"roles\":";
    EXPECT_EQ(json.substr(0, reports.size()), reports) << c.name;
  }
}

// One reading gives the suggestion for either state of the box (the
// suggestion that `--vib auto --led auto` converts with, the page's tests
// compare the downloads), its reasons in both languages naming the box by
// the page's words, and each channel's role.
TEST(WebExports, ReadGivesTheSuggestionOfEitherBox) {
  struct Case {
    const char *name;
    Bytes input;
    const char *plain, *allTracks;  // the suggestion's channels without and with the box
  } cases[] = {
      {"band.mld", melodyOf(band), "\"vibration\":[6],\"led\":[5]", "\"vibration\":[6],\"led\":[5]"},
      {"band-v2.mld", melodyOf(band, '2'), "\"vibration\":[6],\"led\":[5]", "\"vibration\":[6],\"led\":[5]"},
      {"band.mmf", smaf(mobileScoreTrack(band)), "\"vibration\":[6],\"led\":[5]", "\"vibration\":[6],\"led\":[5]"},
      {"newer.mmf", bandInTrack(6), "\"vibration\":[],\"led\":[]", "\"vibration\":[6],\"led\":[5]"},
      {"notes.txt", ascii("plain text"), "\"vibration\":[],\"led\":[]", "\"vibration\":[],\"led\":[]"},
  };
  for (const Case &c : cases) {
    std::string json = readJson(c.name, c.input);
    EXPECT_TRUE(holds(json, "\"suggested\":{\"plain\":{" + std::string(c.plain))) << c.name << ": " << json;
    EXPECT_TRUE(holds(json, ",\"allTracks\":{" + std::string(c.allTracks))) << c.name << ": " << json;
  }
  // Without the box, score track 6 links nothing, and the reason names it.
  EXPECT_TRUE(holds(readJson("newer.mmf", bandInTrack(6)),
                    "\"reasons\":{\"vibration\":{\"japanese\":\"連動を持てるのはスコアトラック 6 と 7 だけです。[全] "
                    "で連動させられます\","
                    "\"english\":\"this file holds links only in score tracks 6 and 7; [all] links them\"}"));
  std::string json = readJson("band.mld", melodyOf(band));
  EXPECT_TRUE(holds(json,
                    "\"roles\":[{\"channel\":5,\"role\":\"melody\",\"japanese\":\"メロディ\",\"english\":\"melody\"},"
                    "{\"channel\":6,\"role\":\"bass\",\"japanese\":\"ベース\",\"english\":\"bass\"},"
                    "{\"channel\":10,\"role\":\"drums\",\"japanese\":\"ドラム\",\"english\":\"drums\"}],"))
      << json;
  EXPECT_TRUE(holds(readJson("notes.txt", ascii("plain text")), "\"roles\":[],"));
}

// Each conversion asked for them says where the phone will disappoint with
// the links its output carries, in both languages, by the native program's
// sentences (the page's tests check them whole).
TEST(WebExports, ConvertGivesThePhonesWarnings) {
  Bytes tune = melodyOf(band);
  struct Case {
    Bytes input;
    uint16_t vibMask, ledMask;
    const char *japanese, *english;  // the one warning, or none
  } cases[] = {
      {tune, 1 << 5, 1 << 4, nullptr, nullptr},
      {tune, 1 << 15, 1 << 4, "チャンネル 16 は一度も鳴らないので、バイブは動きません",
       "channel 16 never plays: the vibrator will not run"},
      {tune, 1 << 9, 1 << 4, "バイブの振動が短すぎて感じられません", "the vibration pulses are too short to feel"},
      {ascii("plain text"), 1 << 15, 1, nullptr, nullptr},  // not converted
  };
  for (const Case &c : cases) {
    for (uint32_t flags : {uint32_t(SORBELIN_WARNINGS), uint32_t(0)}) {
      WebConversion *result = sorbelin_convert("tune", c.input.data(), uint32_t(c.input.size()), c.vibMask, c.ledMask,
                                               flags, "[全]", "[all]");
      std::string expected = flags && c.english ? "{\"japanese\":[\"" + std::string(c.japanese) +
                                                      "\"],\"english\":[\"" + c.english + "\"]}}"
                                                : "{\"japanese\":[],\"english\":[]}}";
      EXPECT_TRUE(holds(sorbelin_conversion(result), ",\"warnings\":" + expected)) << sorbelin_conversion(result);
      sorbelin_release(result);
    }
  }
}
