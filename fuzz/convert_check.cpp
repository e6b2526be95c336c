// A conversion of any bytes, with any two masks.
#include <cstring>

#include "engine/bytes.h"
#include "fuzz/checks.h"
#include "fuzz/shapes.h"

namespace {

// What every conversion promises, whether it converted or gave up.
const char *checkOutcome(const uint8_t *image, uint32_t count, const MemBlock &output, const ConversionResult &result) {
  if (output.length > uint64_t(count) + outputHeadroom) return "the output is longer than its capacity";
  // A magic among other bytes that do not read as chunks is no melody.
  if (result.formatKind != (result.outcome == CONVERT_NOT_MELODY ? FORMAT_NONE : findFormat(image, count)))
    return "the result names another format than the first magic";
  if (result.outcome != CONVERT_DONE)
    return output.length || result.carried.vibration || result.carried.led
               ? "a given-up conversion left output or links"
               : nullptr;
  if (result.formatKind == FORMAT_SMAF && (result.formatVersion < 1 || result.formatVersion > 3))
    return "the SMAF score-track type is not 1, 2 or 3";
  return nullptr;
}

bool sameLinks(const CarriedLinks &a, const CarriedLinks &b) {
  return a.vibration == b.vibration && a.led == b.led && a.tracks == b.tracks && a.vibPlaces == b.vibPlaces &&
         a.ledPlaces == b.ledPlaces && a.laterPlaces == b.laterPlaces && a.contentsInfo == b.contentsInfo &&
         a.recordedSound == b.recordedSound;
}

// Converting a converted image again with the same masks must give the same
// bytes, where the second walk is the same as the first (sameWalkAgain).
const char *checkReconversion(const MemBlock &first, const ConversionResult &result, const ConversionRequest &request) {
  MemBlock second = {};
  ConversionResult again = convertCopy(first.data, first.length, request, &second);
  const char *problem = nullptr;
  if (convertedFormat(again) != result.formatKind || again.formatVersion != result.formatVersion)
    problem = "converting the output again reports another format or version";
  else if (second.length != first.length || std::memcmp(second.data, first.data, first.length) != 0)
    problem = "converting the output again with the same masks changes it";
  else if (!sameLinks(again.carried, result.carried))
    problem = "converting the output again tells other links";
  memBlockFree(&second);
  return problem;
}

const char *checkConverted(const uint8_t *image, uint32_t count, const MemBlock &output, const ConversionResult &result,
                           const ConversionRequest &request) {
  if (result.formatKind == FORMAT_SMAF) {
    if (const char *problem = checkSmafClosing(output.data, output.length, smafShape(image, count).steps))
      return problem;
  }
  if (!sameWalkAgain(image, count, output.data, output.length, result.formatKind)) return nullptr;
  return checkReconversion(output, result, request);
}

}  // namespace

const char *checkConversion(const uint8_t *data, size_t size) {
  ConversionRequest request;
  const uint8_t *image;
  uint32_t count;
  if (!takeRequestAndImage(data, size, &request, &image, &count)) return nullptr;
  MemBlock output = {};
  ConversionResult result = convertCopy(image, count, request, &output);
  const char *problem = checkOutcome(image, count, output, result);
  if (!problem && result.outcome == CONVERT_DONE) problem = checkConverted(image, count, output, result, request);
  memBlockFree(&output);
  return problem;
}
