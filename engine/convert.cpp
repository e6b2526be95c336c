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

// The first offset from `from` up to `end` that holds `byte`, or `end`.
static uint32_t nextByte(const uint8_t *data, uint32_t from, uint32_t end, uint8_t byte) {
  const void *hit = std::memchr(data + from, byte, end - from);
  return hit ? uint32_t(static_cast<const uint8_t *>(hit) - data) : end;
}

// Only offsets holding the first byte of a magic ("m" or "M") are compared;
// memchr finds them, and the lower of the two candidates is tried first.
int findFormat(const uint8_t *data, uint32_t length) {
  if (length < 4) return FORMAT_NONE;
  uint32_t end = length - 3;  // past the last offset where a magic fits
  uint32_t melo = nextByte(data, 0, end, 'm'), smaf = nextByte(data, 0, end, 'M');
  while (melo < end || smaf < end) {
    if (melo < smaf) {
      if (std::memcmp(data + melo, "melo", 4) == 0) return FORMAT_IMELODY;
      melo = nextByte(data, melo + 1, end, 'm');
    } else {
      if (std::memcmp(data + smaf, "MMMD", 4) == 0) return FORMAT_SMAF;
      smaf = nextByte(data, smaf + 1, end, 'M');
    }
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

ConvertOutcome convertBufferOutcome(MemBlock *input, MemBlock *output) {
  convertBuffer(input, output);
  if (conversionSettings.report.formatKind != FORMAT_NONE) return CONVERT_DONE;
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
      outcome = convertBufferOutcome(&input, &output);
      if (outcome == CONVERT_DONE && !memBlockSave(&output, outputPath)) outcome = CONVERT_UNWRITABLE;
    }
  }
  memBlockFree(&input);
  memBlockFree(&output);
  return outcome;
}

int convertFile(const char *inputPath, const char *outputPath) {
  return convertFileOutcome(inputPath, outputPath) == CONVERT_DONE;
}
