#include "engine/convert.h"

#include <cstring>

#include "engine/conversion.h"
#include "engine/melody.h"
#include "engine/rewrite.h"
#include "engine/smaf.h"

ConversionSettings conversionSettings;

static void clearReport() { std::memset(&conversionSettings.report, 0, sizeof(ConversionReport)); }

void convertBuffer(MemBlock *input, MemBlock *output) {
  clearReport();
  output->length = 0;
  // The output is sized once, before the rewrite; a length whose room would
  // not fit in 32 bits cannot be converted.
  bool sized = input->length <= UINT32_MAX - outputHeadroom && memBlockResize(output, input->length + outputHeadroom);
  conversionSettings.vibChannel = lowestChannel(conversionSettings.vibMask);
  conversionSettings.ledChannel = lowestChannel(conversionSettings.ledMask);
  if (!sized) return;
  switch (findFormat(input->data, input->length)) {
    case FORMAT_IMELODY: rewriteMelody(input, output); break;
    case FORMAT_SMAF: rewriteSmaf(input, output); break;
  }
}

int convertFile(const char *inputPath, const char *outputPath) {
  clearReport();
  MemBlock input = {}, output = {};
  int result = 0;
  if (memBlockLoad(&input, inputPath) && memBlockCreate(&output, 1024)) {
    convertBuffer(&input, &output);
    result = conversionSettings.report.formatKind != FORMAT_NONE && memBlockSave(&output, outputPath);
  }
  memBlockFree(&input);
  memBlockFree(&output);
  return result;
}

int rewriteWithSettings(ImageRewriter rewrite, const MemBlock *input, MemBlock *output) {
  ConversionReport &report = conversionSettings.report;
  std::memset(&report, 0, sizeof report);
  output->length = 0;
  const ConversionSettings &cs = conversionSettings;
  LinkChoice choice = {cs.vibMask, cs.ledMask, cs.vibChannel, cs.ledChannel, false};
  ConversionResult result =
      rewrite(input->data, input->length, output->data, uint64_t(input->length) + outputHeadroom, choice);
  if (result.outcome != CONVERT_DONE) return 0;
  output->length = uint32_t(result.outputLength);
  report = {uint8_t(result.formatKind), result.formatVersion};
  return 1;
}
