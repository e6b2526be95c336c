#include "engine/conversion.h"

#include "engine/format.h"
#include "engine/rewrite.h"

uint8_t lowestChannel(uint16_t mask) {
  for (int i = 0; i < 16; ++i)
    if ((mask >> i) & 1) return uint8_t(i + 1);
  return 0;
}

ConversionResult rewriteResult(int format, uint8_t version, const StopPlace &stopped, uint64_t outputLength,
                               const CarriedLinks &carried) {
  ConversionResult result = {};
  result.formatKind = format;
  result.formatVersion = version;
  if (stopped.stop != 0) {
    result.outcome = CONVERT_MALFORMED;
    result.stopped = stopped;
    return result;
  }
  result.outcome = CONVERT_DONE;
  result.outputLength = outputLength;
  result.carried = carried;
  return result;
}

ConversionResult convertImage(const uint8_t *input, uint64_t length, uint8_t *output, uint64_t capacity,
                              const ConversionRequest &request) {
  LinkChoice choice = {request.vibMask, request.ledMask, lowestChannel(request.vibMask), lowestChannel(request.ledMask),
                       request.allTracks};
  int format = length > UINT32_MAX ? FORMAT_NONE : findFormat(input, uint32_t(length));
  ConversionResult result = {};
  if (format == FORMAT_IMELODY) result = rewriteMelodyImage(input, length, output, capacity, choice);
  if (format == FORMAT_SMAF) result = rewriteSmafImage(input, length, output, capacity, choice);
  if (format == FORMAT_NONE ||
      (result.outcome == CONVERT_MALFORMED && readsAsNoMelody(format, input, length, result.stopped))) {
    result = {};
    result.outcome = CONVERT_NOT_MELODY;
  }
  return result;
}

ConversionResult convertBlock(const MemBlock &input, MemBlock *output, const ConversionRequest &request) {
  output->length = 0;
  ConversionResult result = {};
  result.outcome = CONVERT_NO_MEMORY;
  // The output is sized once, before the rewrite; a length whose room would
  // not fit in 32 bits cannot be converted.
  if (input.length > UINT32_MAX - outputHeadroom) return result;
  uint32_t capacity = input.length + outputHeadroom;
  bool sized = output->handle ? memBlockResize(output, capacity) : memBlockCreate(output, capacity);
  if (!sized) return result;
  result = convertImage(input.data, input.length, output->data, capacity, request);
  if (result.outcome == CONVERT_DONE) output->length = uint32_t(result.outputLength);
  return result;
}
