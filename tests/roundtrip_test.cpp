// The inspector, the timeline and the converter together, over the
// project's own images: a converted image carries exactly the links that
// were asked for, as far as its format holds them, and keeps its timeline.
// The properties themselves are the inspect and timeline fuzz targets'.
#include <gtest/gtest.h>

#include "fuzz/checks.h"
#include "fuzz/shapes.h"
#include "tests/timelineimages.h"

namespace {

Bytes example(const char *name) { return readFile(std::string(SORBELIN_EXAMPLES) + "/" + name); }

std::vector<Bytes> melodies() {
  const Bytes notes = hex("00 10 60  00 50 60  00 FF FF 00 05 11 F2 04 A0 02  05 90 60");
  const Bytes table = hex("03 FF FF 00 14 11 01 F2 07") + Bytes(16, 0x02);
  std::vector<Bytes> images = {example("fanfare-v2.mld"), example("lullaby-v3.mld")};
  for (char version : {'1', '2', '3', '4'}) {
    images.push_back(melody(vers(version), track(notes) + track(table + notes)));
    images.push_back(melody(vers(version) + note(1), track(hex("00 10 60 00  00 3F 80 05")) + track(table)));
    images.push_back(melody(vers(version), ascii("adat") + be(3, 4) + hex("01 02 03") + track({}) + track(notes)));
    images.push_back(melody(vers(version), {}));
  }
  images.push_back(melody({}, track(notes)));
  return images;
}

std::vector<Bytes> smafImages() {
  std::vector<Bytes> images = {example("chime.mmf")};
  const Bytes status = hex("FF FF"), wide = Bytes(16, 0xFF);
  images.push_back(smaf(mtr(1, status)));
  images.push_back(smaf(cnti(ascii("ST:a,") + ledTag(7)) + mtr(0, status) + mtr(3, status)));
  images.push_back(smaf(cnti({}) + mtr(2, status) + mtr(4, status) + mtr(5, wide) + mtr(6, status), hex("00 01")));
  images.push_back(smaf(mtr(5, wide) + cnti(ledTag(1) + ascii("AN:b,") + ledTag(2))));
  images.push_back(smaf(cnti(ascii("L2:,"))));
  // Score tracks 6 and 7, linked only when all tracks are asked for: bits
  // set around the link bits, on channels beyond 16 too.
  Bytes mixed(32, 0);
  for (size_t k = 0; k < mixed.size(); ++k) mixed[k] = uint8_t(k * 0x1D + 0xC1);
  images.push_back(smaf(mtr(6, wide, 2)));
  images.push_back(smaf(mtr(7, mixed, 3)));
  images.push_back(smaf(cnti({}) + mtr(1, status) + mtr(5, wide, 2) +
                        mtr(6, Bytes(mixed.begin(), mixed.begin() + 16), 1) + mtr(7, mixed, 3)));
  images.push_back(smaf(mtr(6, mixed, 3) + mtr(7, mixed, 0) + mtr(7, wide, 4)));
  return images;
}

}  // namespace

// An odd number of bits in the two masks asks for all tracks.
const uint16_t masks[][2] = {{0, 0},           {1, 1},           {0x8001, 0x0010}, {0xFFFF, 0}, {0, 0xFFFF}, {5, 4},
                             {0x0F0F, 0xF0F0}, {0x0100, 0x8000}, {0x0002, 0},      {0xFFFF, 1}, {0, 0x8000}};

TEST(InspectorProperty, ConvertedImagesCarryTheLinksAskedFor) {
  std::vector<Bytes> images = melodies(), smafs = smafImages();
  images.insert(images.end(), smafs.begin(), smafs.end());
  for (const Bytes &image : images) {
    for (const auto &pair : masks) {
      ASSERT_NE(convertWithSettings(image, pair[0], pair[1]).report.formatKind, FORMAT_NONE) << toHex(image);
      Bytes input = be(pair[0], 2) + be(pair[1], 2) + image;
      const char *problem = checkInspection(input.data(), input.size());
      EXPECT_TRUE(problem == nullptr) << problem << "\n" << toHex(input);
    }
  }
}

// The timeline of every converted image is the input's, and --info counts
// its notes; the timeline's own images are walked alike after conversion,
// so that the comparison takes place.
TEST(TimelineProperty, ConvertingKeepsTheTimeline) {
  std::vector<Bytes> images = melodies(), smafs = smafImages(), timed = timelineMelodies();
  images.insert(images.end(), smafs.begin(), smafs.end());
  images.insert(images.end(), timed.begin(), timed.end());
  for (const Bytes &image : images) {
    for (const auto &pair : masks) {
      Converted converted = convertWithSettings(image, pair[0], pair[1]);
      ASSERT_NE(converted.report.formatKind, FORMAT_NONE) << toHex(image);
      Bytes input = be(pair[0], 2) + be(pair[1], 2) + image;
      const char *problem = checkTimeline(input.data(), input.size());
      EXPECT_TRUE(problem == nullptr) << problem << "\n" << toHex(input);
    }
  }
  for (const Bytes &image : timed) {
    Converted converted = convertWithSettings(image, 2, 1);
    EXPECT_TRUE(sameWalkAgain(image.data(), uint32_t(image.size()), converted.bytes.data(),
                              uint32_t(converted.bytes.size()), converted.report.formatKind))
        << toHex(image);
  }
}
