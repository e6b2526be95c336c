// The web page's C interface, natively: the same outcome, bytes, messages
// and reports as the engine and the native program give, results that stay
// apart until each is released; the suggestion of `--vib auto` for either
// state of the box, the roles, and the phone's warnings in both languages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/inspect.h"
#include "engine/phonewarnings.h"
#include "engine/suggest.h"
#include "shell/report/carries.h"
#include "shell/report/infojson.h"
#include "shell/report/phrases.h"
#include "shell/report/resultmessage.h"
#include "shell/report/suggestwords.h"
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

std::string channelArray(uint32_t mask) {
  std::string out = "[";
  for (int k = 0; k < 32; ++k)
    if ((mask >> k) & 1) out += (out.size() > 1 ? "," : "") + std::to_string(k + 1);
  return out + "]";
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
  } cases[] = {
      {"tune.mld", melodyV2},
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

// The suggestion that one reading gives for either state of the box is
// suggestForImage's with the same choice, which `--vib auto --led auto`
// converts with; its reasons in both languages name the box by the page's
// words; each channel with notes has its role.
TEST(WebExports, ReadGivesTheSuggestionOfEitherBox) {
  struct Case {
    const char *name;
    Bytes input;
    bool boxMatters;
  } cases[] = {
      {"band.mld", melodyOf(band), false},
      {"band-v2.mld", melodyOf(band, '2'), false},
      {"band.mmf", smaf(mobileScoreTrack(band)), false},
      {"newer.mmf", bandInTrack(6), true},
      {"empty.mmf", smafTrack6, true},  // only its reasons differ
      {"notes.txt", ascii("plain text"), false},
  };
  for (const Case &c : cases) {
    std::string json = readJson(c.name, c.input);
    std::string given[2];
    for (bool allTracks : {false, true}) {
      FileSuggestion file;
      suggestForImage(c.input.data(), c.input.size(), allTracks, &file);
      const Suggestion &s = file.suggestion;
      auto reason = [&](bool vibration) {
        return both(reasonText(s, file.roles, vibration, LANGUAGE_JAPANESE, "[全]").c_str(),
                    reasonText(s, file.roles, vibration, LANGUAGE_ENGLISH, "[all]").c_str());
      };
      given[allTracks] = "{\"vibration\":" + channelArray(s.vibration) + ",\"led\":" + channelArray(s.led) +
                         ",\"reasons\":{\"vibration\":" + reason(true) + ",\"led\":" + reason(false) + "}}";
      EXPECT_TRUE(holds(json, std::string(allTracks ? "\"allTracks\":" : "\"plain\":") + given[allTracks]))
          << c.name << (allTracks ? " with the box: " : ": ") << json;
      for (int channel = 1; channel <= describedChannels; ++channel) {
        if (!hasNotes(file.roles, channel)) continue;
        ChannelRole role = file.roles.figures[channel - 1].role;
        EXPECT_TRUE(holds(json, "{\"channel\":" + std::to_string(channel) + ",\"role\":\"" +
                                    roleName(role, LANGUAGE_ENGLISH) + "\",\"japanese\":\"" +
                                    roleName(role, LANGUAGE_JAPANESE) + "\""))
            << c.name << ", channel " << channel;
      }
    }
    EXPECT_EQ(given[0] != given[1], c.boxMatters) << c.name;
  }
  // The band's parts, as written.
  std::string json = readJson("band.mld", melodyOf(band));
  EXPECT_TRUE(holds(json, "\"plain\":{\"vibration\":[6],\"led\":[5]")) << json;
  EXPECT_TRUE(holds(json, "{\"channel\":10,\"role\":\"drums\",\"japanese\":\"ドラム\",\"english\":\"drums\"}"));
  EXPECT_TRUE(holds(readJson("notes.txt", ascii("plain text")), "\"roles\":[],"));
}

// Each conversion says where the phone will disappoint with the links its
// output carries, in both languages, by the native program's sentences.
TEST(WebExports, ConvertGivesThePhonesWarnings) {
  Bytes tune = melodyOf(band);
  struct Case {
    const char *name;
    Bytes input;
    uint16_t vibMask, ledMask;
    const char *english;  // a sentence among the warnings, or null for none
  } cases[] = {
      {"the bass and the tune", tune, 1 << 5, 1 << 4, nullptr},
      {"a vibrator on a channel that never plays", tune, 1 << 15, 1 << 4, "channel 16 never plays: the vibrator will not run"},
      {"an LED on a silent channel beside the tune", tune, 1 << 5, (1 << 4) | (1 << 0),
       "channel 1 never plays: the LED will not follow it"},
      {"the drums: pulses too short to feel", tune, 1 << 9, 1 << 4, "the vibration pulses are too short to feel"},
      {"not converted", ascii("plain text"), 1 << 15, 1, nullptr},
  };
  for (const Case &c : cases) {
    WebConversion *result = sorbelin_convert("tune", c.input.data(), uint32_t(c.input.size()), c.vibMask, c.ledMask,
                                             SORBELIN_WARNINGS, "[全]", "[all]");
    std::string json = sorbelin_conversion(result);
    sorbelin_release(result);
    // Unasked, none.
    result = sorbelin_convert("tune", c.input.data(), uint32_t(c.input.size()), c.vibMask, c.ledMask, 0, "[全]", "[all]");
    EXPECT_TRUE(holds(sorbelin_conversion(result), ",\"warnings\":{\"japanese\":[],\"english\":[]}}")) << c.name;
    sorbelin_release(result);
    ConversionResult converted = convertWithRequest(c.input, {c.vibMask, c.ledMask, false}).result;
    FileSuggestion file;
    suggestForImage(c.input.data(), c.input.size(), false, &file);
    PhoneWarnings warnings = phoneWarnings(file.roles, converted.carried.vibration, converted.carried.led);
    auto sentences = [&](Language language) {
      std::string out = "[";
      for (const std::string &sentence : warningSentences(warnings, language))
        out += (out.size() > 1 ? "," : "") + quoted(sentence);
      return out + "]";
    };
    EXPECT_TRUE(holds(json, ",\"warnings\":{\"japanese\":" + sentences(LANGUAGE_JAPANESE) +
                                ",\"english\":" + sentences(LANGUAGE_ENGLISH) + "}}"))
        << c.name << ": " << json;
    EXPECT_EQ(holds(json, "\"english\":[]}}"), c.english == nullptr) << c.name << ": " << json;
    if (c.english) {
      EXPECT_TRUE(holds(json, c.english)) << c.name << ": " << json;
    }
  }
}
