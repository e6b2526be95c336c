// convertBuffer on any bytes, with any two masks.
#include <cstring>

#include "engine/bytes.h"
#include "engine/convert.h"
#include "fuzz/checks.h"
#include "fuzz/shapes.h"

namespace {

// What every conversion promises, whether it converted or gave up.
const char *checkOutcome(const uint8_t *image, uint32_t count, const MemBlock &output,
                         const ConversionReport &report) {
  if (output.length > uint64_t(count) + outputHeadroom) return "the output is longer than its capacity";
  if (report.formatKind == FORMAT_NONE)
    return output.length || report.formatVersion ? "a given-up conversion left output or a version" : nullptr;
  if (report.formatKind != findFormat(image, count)) return "the report names another format than the first magic";
  if (report.formatKind == FORMAT_SMAF && (report.formatVersion < 1 || report.formatVersion > 3))
    return "the SMAF score-track type is not 1, 2 or 3";
  return nullptr;
}

// Converting a converted image again with the same masks must give the same
// bytes, where the second walk is the same as the first (sameWalkAgain).
const char *checkReconversion(const MemBlock &first, const ConversionReport &report) {
  MemBlock second = {};
  ConversionReport again = convertCopy(first.data, first.length, &second);
  const char *problem = nullptr;
  if (again.formatKind != report.formatKind || again.formatVersion != report.formatVersion)
    problem = "converting the output again reports another format or version";
  else if (second.length != first.length || std::memcmp(second.data, first.data, first.length) != 0)
    problem = "converting the output again with the same masks changes it";
  memBlockFree(&second);
  return problem;
}

const char *checkConverted(const uint8_t *image, uint32_t count, const MemBlock &output,
                           const ConversionReport &report) {
  if (report.formatKind == FORMAT_SMAF) {
    if (const char *problem = checkSmafClosing(output.data, output.length, smafShape(image, count).steps))
      return problem;
  }
  if (!sameWalkAgain(image, count, output.data, output.length, report.formatKind)) return nullptr;
  return checkReconversion(output, report);
}

}  // namespace

const char *checkConversion(const uint8_t *data, size_t size) {
  const uint8_t *image;
  uint32_t count;
  if (!takeMasksAndImage(data, size, &image, &count)) return nullptr;
  MemBlock output = {};
  ConversionReport report = convertCopy(image, count, &output);
  const char *problem = checkOutcome(image, count, output, report);
  if (!problem && report.formatKind != FORMAT_NONE) problem = checkConverted(image, count, output, report);
  memBlockFree(&output);
  return problem;
}
