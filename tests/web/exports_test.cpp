// The web page's C interface, natively: the same outcome, bytes and messages
// as the engine gives, results that stay apart until each is released.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/report/carries.h"
#include "shell/report/infojson.h"
#include "shell/report/timelinejson.h"
#include "shell/messages.h"
#include "shell/web/exports.h"
#include "tests/images.h"

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

}  // namespace

TEST(WebExports, ConvertGivesTheEnginesResult) {
  struct Case {
    const char *name;
    Bytes input;
    uint16_t vibMask, ledMask;
    uint32_t flags;
    int outcome;
  } cases[] = {
      {"i-melody, LED linked", melodyV2, 2, 1, 0, CONVERT_DONE},
      {"i-melody, no LED", melodyV2, 0x8001, 0, 0, CONVERT_DONE},
      {"SMAF without a message", smafPlain, 1, 1, 0, CONVERT_DONE},
      {"no magic", ascii("plain text"), 1, 1, 0, CONVERT_NOT_MELODY},
      {"nothing", {}, 1, 1, 0, CONVERT_NOT_MELODY},
      {"malformed", hex("6D 65 6C 6F 00 00"), 1, 1, 0, CONVERT_MALFORMED},
      {"SMAF track 6, all tracks", smafTrack6, 2, 4, SORBELIN_ALL_TRACKS, CONVERT_DONE},
      {"SMAF track 6 left alone", smafTrack6, 2, 4, 0, CONVERT_DONE},
  };
  // Every result is kept until all are made: each holds its own image.
  std::vector<WebConversion *> results;
  for (const Case &c : cases)
    results.push_back(sorbelin_convert(c.input.empty() ? nullptr : c.input.data(),
                                       uint32_t(c.input.size()), c.vibMask, c.ledMask, c.flags));
  for (size_t k = 0; k < results.size(); ++k) {
    const Case &c = cases[k];
    ASSERT_NE(results[k], nullptr) << c.name;
    EXPECT_EQ(sorbelin_outcome(results[k]), c.outcome) << c.name;
    Converted expected = convertImage(c.input, c.vibMask, c.ledMask, c.flags & SORBELIN_ALL_TRACKS);
    EXPECT_EQ(toHex(outputOf(results[k])), toHex(expected.bytes)) << c.name;
    EXPECT_EQ(sorbelin_output(results[k]) == nullptr, c.outcome != CONVERT_DONE) << c.name;
    const Message *message = resultText(expected.report, conversionSettings.ledChannel);
    EXPECT_EQ(sorbelin_message(results[k], 1), message ? message->japanese : nullptr) << c.name;
    EXPECT_EQ(sorbelin_message(results[k], 0), message ? message->english : nullptr) << c.name;
    // What the result carries is read back from its own image.
    CarriedLinks carried = {};
    if (c.outcome == CONVERT_DONE) carried = carriedLinks(expected.bytes.data(), uint32_t(expected.bytes.size()));
    EXPECT_EQ(sorbelin_carried(results[k], 0), carried.vibMask) << c.name;
    EXPECT_EQ(sorbelin_carried(results[k], 1), carried.ledMask) << c.name;
    EXPECT_EQ(sorbelin_later_tracks(results[k]), carried.laterTracks) << c.name;
    CarriesRequest request = {c.vibMask, c.ledMask, (c.flags & SORBELIN_ALL_TRACKS) != 0, "[all tracks]"};
    for (Language language : {LANGUAGE_ENGLISH, LANGUAGE_JAPANESE}) {
      char *line = sorbelin_carries(results[k], "tune", language == LANGUAGE_JAPANESE, "[all tracks]");
      ASSERT_EQ(line != nullptr, c.outcome == CONVERT_DONE) << c.name;
      if (!line) continue;
      EXPECT_EQ(std::string(line),
                carriesLine("tune", expected.bytes.data(), uint32_t(expected.bytes.size()), request, language))
          << c.name;
      std::free(line);
    }
  }
  EXPECT_TRUE(sorbelin_later_tracks(results[7]));
  char *leftAlone = sorbelin_carries(results[7], "tune", 0, "[all tracks]");
  EXPECT_NE(std::string(leftAlone).find("[all tracks] links them"), std::string::npos) << leftAlone;
  std::free(leftAlone);
  EXPECT_NE(sorbelin_message(results[0], 1), sorbelin_message(results[1], 1));
  EXPECT_NE(toHex(outputOf(results[6])), toHex(outputOf(results[7]))) << "the flag reaches the rewriter";
  for (WebConversion *result : results) sorbelin_release(result);
  sorbelin_release(nullptr);
}

// The reports' lines, each in storage of its own that the caller frees.
TEST(WebExports, InspectAndTimelineGiveTheReportsLines) {
  struct Case {
    const char *name;
    Bytes input;
  } cases[] = {
      {"tune.mld", melodyV2}, {"着信.mmf", smafPlain}, {"notes.txt", ascii("plain text")}, {"empty.mld", {}}};
  struct Report {
    char *(*exported)(const char *, const uint8_t *, uint32_t);
    std::string (*line)(const char *, const uint8_t *, uint32_t);
  } reports[] = {{sorbelin_inspect, melodyInfoJson}, {sorbelin_timeline, melodyTimelineJson}};
  for (const Report &report : reports) {
    for (const Case &c : cases) {
      const uint8_t *bytes = c.input.empty() ? nullptr : c.input.data();
      char *json = report.exported(c.name, bytes, uint32_t(c.input.size()));
      ASSERT_NE(json, nullptr) << c.name;
      EXPECT_EQ(std::string(json), report.line(c.name, bytes, uint32_t(c.input.size())));
      EXPECT_NE(std::string(json).find(std::string("\"path\":\"") + c.name + "\""), std::string::npos) << json;
      std::free(json);
    }
  }
}
