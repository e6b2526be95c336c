#include "engine/convert.h"

#include <cstring>

#include "engine/melody.h"
#include "engine/smaf.h"

ConversionSettings conversionSettings;

static void clearReport() { std::memset(&conversionSettings.report, 0, sizeof(ConversionReport)); }

uint8_t lowestChannel(uint16_t mask) {
  for (int i = 0; i < 16; ++i)
    if ((mask >> i) & 1) return uint8_t(i + 1);
  return 0;
}

int findFormat(const uint8_t *data, uint32_t length) {
  for (uint32_t p = 0; length >= 4 && p <= length - 4; ++p) {
    if (std::memcmp(data + p, "melo", 4) == 0) return FORMAT_IMELODY;
    if (std::memcmp(data + p, "MMMD", 4) == 0) return FORMAT_SMAF;
  }
  return FORMAT_NONE;
}

void convertBuffer(MemBlock *input, MemBlock *output) {
  clearReport();
  output->length = 0;
  // The output is sized once, before the rewrite; a length whose room would
  // not fit in 32 bits cannot be converted.
  bool sized = input->length <= UINT32_MAX - outputHeadroom &&
               memBlockResize(output, input->length + outputHeadroom);
  conversionSettings.vibChannel = lowestChannel(conversionSettings.vibMask);
  conversionSettings.ledChannel = lowestChannel(conversionSettings.ledMask);
  if (!sized) return;
  switch (findFormat(input->data, input->length)) {
    case FORMAT_IMELODY: rewriteMelody(input, output); break;
    case FORMAT_SMAF: rewriteSmaf(input, output); break;
  }
}

// After a conversion that rewrote nothing: why not.
static ConvertOutcome whyNotConverted(const MemBlock *input, const MemBlock *output) {
  if (findFormat(input->data, input->length) == FORMAT_NONE) return CONVERT_NOT_MELODY;
  return output->handle ? CONVERT_MALFORMED : CONVERT_NO_MEMORY;
}

ConvertOutcome convertFileOutcome(const char *inputPath, const char *outputPath) {
  clearReport();
  MemBlock input = {}, output = {};
  ConvertOutcome outcome = CONVERT_UNREADABLE;
  if (memBlockLoad(&input, inputPath)) {
    outcome = CONVERT_NO_MEMORY;
    if (memBlockCreate(&output, 1024)) {
      convertBuffer(&input, &output);
      if (conversionSettings.report.formatKind == FORMAT_NONE)
        outcome = whyNotConverted(&input, &output);
      else
        outcome = memBlockSave(&output, outputPath) ? CONVERT_DONE : CONVERT_UNWRITABLE;
    }
  }
  memBlockFree(&input);
  memBlockFree(&output);
  return outcome;
}

int convertFile(const char *inputPath, const char *outputPath) {
  return convertFileOutcome(inputPath, outputPath) == CONVERT_DONE;
}
