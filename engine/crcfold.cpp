#include "engine/crcfold.h"

#include "engine/bytes.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>

namespace {

// Why folding works: the register that a message M leaves behind, started
// from s, is (s * x^(8n) + M * x^16) mod P, P being the CRC polynomial and
// the first byte of M holding its highest powers of x. So any 128-bit A
// congruent to s * x^(8n-16) + M modulo P leaves the same register when its
// 16 bytes are fed from 0. Four lanes take the 16-byte blocks in turn; to
// move a lane on by four blocks it is multiplied by x^512 and reduced, which
// takes two carry-less products of its 64-bit halves.
constexpr uint64_t xPowerModP(uint32_t power) {
  uint32_t value = 1;
  for (uint32_t i = 0; i < power; ++i) value = (value << 1) ^ ((value & 0x8000) ? 0x11021 : 0);
  return value;
}

bool askProcessor() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (c & bit_SSSE3);
}

#define FOLD_TARGET __attribute__((target("pclmul,ssse3")))

// A block as a polynomial: reversed, so that its first byte is the most
// significant.
FOLD_TARGET __m128i loadBlock(const uint8_t *bytes) {
  const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes)), reverse);
}

// value * x^p + next, reduced to 128 bits; `factors` holds x^(p+64) mod P
// in its upper half and x^p mod P in its lower.
FOLD_TARGET __m128i foldInto(__m128i value, __m128i factors, __m128i next) {
  __m128i high = _mm_clmulepi64_si128(value, factors, 0x11);
  __m128i low = _mm_clmulepi64_si128(value, factors, 0x00);
  return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

FOLD_TARGET uint64_t foldBlocks(uint16_t *running, const uint8_t *bytes, uint64_t count) {
  const __m128i byFourBlocks = _mm_set_epi64x(int64_t(xPowerModP(576)), int64_t(xPowerModP(512)));
  const __m128i byOneBlock = _mm_set_epi64x(int64_t(xPowerModP(192)), int64_t(xPowerModP(128)));
  __m128i lane[4];
  for (int i = 0; i < 4; ++i) lane[i] = loadBlock(bytes + 16 * i);
  lane[0] = _mm_xor_si128(lane[0], _mm_set_epi64x(int64_t(uint64_t(*running) << 48), 0));
  uint64_t done = 64;
  for (; count - done >= 64; done += 64)
    for (int i = 0; i < 4; ++i) lane[i] = foldInto(lane[i], byFourBlocks, loadBlock(bytes + done + 16 * i));
  __m128i all = lane[0];
  for (int i = 1; i < 4; ++i) all = foldInto(all, byOneBlock, lane[i]);
  uint8_t stored[16], polynomial[16];
  _mm_storeu_si128(reinterpret_cast<__m128i *>(stored), all);
  for (int i = 0; i < 16; ++i) polynomial[i] = stored[15 - i];
  *running = crc16Update(0, polynomial, 16);
  return done;
}

}  // namespace

uint64_t crc16FoldBlocks(uint16_t *running, const uint8_t *bytes, uint64_t count) {
  if (count < 64) return 0;
  static const bool canFold = askProcessor();  // asked once, when first needed
  if (!canFold) return 0;
  return foldBlocks(running, bytes, count);
}

#else

uint64_t crc16FoldBlocks(uint16_t *, const uint8_t *, uint64_t) { return 0; }

#endif
