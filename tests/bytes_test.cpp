#include <gtest/gtest.h>

#include "engine/bytes.h"
#include "engine/crcfold.h"
#include "tests/testing.h"

// The CRC as first defined, bit by bit: the oracle for the faster one.
static uint16_t crc16Reference(const uint8_t *bytes, int32_t count) {
  uint16_t value = 0xFFFF;
  for (int32_t i = 0; i < count; ++i) {
    value ^= uint16_t(bytes[i] << 8);
    for (int bit = 0; bit < 8; ++bit) value = (value & 0x8000) ? uint16_t((value << 1) ^ 0x1021) : uint16_t(value << 1);
  }
  return count > 0 ? uint16_t(value ^ 0xFFFF) : 0;
}

TEST(Crc16, CheckValues) {
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  const uint8_t zero[] = {0};
  EXPECT_EQ(crc16(digits, 9), 0xD64E);
  EXPECT_EQ(crc16(digits, 0), 0x0000);
  EXPECT_EQ(crc16(digits, -5), 0x0000);
  EXPECT_EQ(crc16(zero, 1), 0x1E0F);
}

// The CRC folds 16 bytes at a time and takes the rest byte by byte: every
// length up to a few slices, and every split into two pieces, must agree
// with the bit-by-bit definition.
TEST(Crc16, MatchesBitwiseDefinitionForEveryLengthAndPieces) {
  Bytes data(1000);
  uint32_t seed = 12345;
  for (uint8_t &b : data) b = uint8_t((seed = seed * 1103515245 + 12345) >> 16);
  std::vector<int32_t> lengths = {255, 256, 257, 999, 1000};
  for (int32_t n = 1; n <= 80; ++n) lengths.push_back(n);
  for (int32_t n : lengths) {
    uint16_t expected = crc16Reference(data.data(), n);
    EXPECT_EQ(crc16(data.data(), n), expected) << n;
    for (int32_t split = 0; split <= n; split += n > 80 ? 37 : 1) {
      uint16_t running = crc16Update(crc16Start(), data.data(), uint64_t(split));
      running = crc16Update(running, data.data() + split, uint64_t(n - split));
      EXPECT_EQ(crc16Finish(running), expected) << n << " split at " << split;
    }
  }
}

// Where the processor can fold, it takes whole 64-byte blocks from any
// running register and the tables go on from the register it leaves; where
// it cannot, it takes nothing.
TEST(Crc16, FoldingTakesWholeBlocksAndTheTablesGoOn) {
  Bytes data(1100);
  uint32_t seed = 777;
  for (uint8_t &b : data) b = uint8_t((seed = seed * 1103515245 + 12345) >> 16);
  for (uint64_t n : {0, 1, 63, 64, 65, 127, 128, 129, 200, 1000}) {
    uint16_t running = crc16Update(crc16Start(), data.data(), 5);
    uint64_t folded = crc16FoldBlocks(&running, data.data() + 5, n);
    EXPECT_EQ(folded % 64, 0u) << n;
    EXPECT_LE(folded, n) << n;
    running = crc16Update(running, data.data() + 5 + folded, n - folded);
    EXPECT_EQ(crc16Finish(running), crc16Reference(data.data(), int32_t(5 + n))) << n;
  }
}

TEST(BigEndian, WritesOnlyTheLowBytesOfItsWidth) {
  uint8_t out[5] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(writeBE(out, 0x12345, 2), 2u);
  EXPECT_EQ(toHex(Bytes(out, out + 3)), "23 45 AA");
  EXPECT_EQ(writeBE(out, 0x1234, 4), 4u);
  EXPECT_EQ(toHex(Bytes(out, out + 5)), "00 00 12 34 AA");
  EXPECT_EQ(writeBE(out, 0x99, 0), 0u);
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(writeBE(out, 0x99, 5), 0u);  // wider than 4: refused
  EXPECT_EQ(out[4], 0xAA);
}

TEST(BigEndian, ReadsUnsigned) {
  const uint8_t ones[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const uint8_t sixteen[] = {0x00, 0x10};
  EXPECT_EQ(readBE(ones, 4), 4294967295u);
  EXPECT_EQ(readBE(sixteen, 2), 16u);
  EXPECT_EQ(readBE(ones, 0), 0u);
  EXPECT_EQ(readBE(ones, 5), 0u);
}

TEST(CompareBytes, SignedOrderAndStopsAtFirstDifference) {
  struct Case {
    const char *a, *b;
    int32_t count;
    int expected;
  } cases[] = {
      {"4C 32 3A", "4C 32 3A", 3, 0},
      {"4C 32 3A", "4C 33 3A", 3, -1},
      {"4C 33 3A", "4C 32 3A", 3, 1},
      {"80", "7F", 1, -1},
      {"01", "02", 0, 0},
      {"01", "02", -1, 0},
  };
  for (const Case &c : cases) {
    Bytes a = hex(c.a), b = hex(c.b);
    EXPECT_EQ(compareBytes(a.data(), b.data(), c.count), c.expected) << c.a << " / " << c.b;
  }
}

TEST(CopyBytes, HandlesOverlapBothWays) {
  Bytes up = hex("01 02 03 04 05"), down = up;
  EXPECT_EQ(copyBytes(up.data() + 1, up.data(), 4), 4u);
  EXPECT_EQ(toHex(up), "01 01 02 03 04");
  EXPECT_EQ(copyBytes(down.data(), down.data() + 1, 4), 4u);
  EXPECT_EQ(toHex(down), "02 03 04 05 05");
}

TEST(ParseDecimalByte, WrapsAndStops) {
  struct Case {
    const char *text;
    uint32_t maximum;
    int expected;
  } cases[] = {
      {"12x", 5, 12}, {"65535", 5, 255}, {"1234567", 5, 57}, {"", 5, 0},  {"-3", 5, 0},   {"255", 5, 255},
      {"256", 5, 0},  {"300", 5, 44},    {"99", 1, 9},       {"7", 0, 0}, {"\xB9", 5, 0},  // a byte above 0x7F is no
                                                                                           // digit
  };
  for (const Case &c : cases) EXPECT_EQ(parseDecimalByte(c.text, c.maximum), c.expected) << c.text;
}
