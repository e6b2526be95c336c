#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "shell/memblock.h"
#include "shell/wholefile.h"
#include "tests/testing.h"

TEST(MemBlock, EmptyFileLoadsWithAHandle) {
  TempDir dir;
  writeFile(dir.file("empty"), {});
  MemBlock block = {};
  EXPECT_NE(memBlockLoad(&block, dir.file("empty").c_str()), 0);
  EXPECT_NE(block.handle, nullptr);
  EXPECT_EQ(block.length, 0u);
  memBlockFree(&block);
}

TEST(MemBlock, MissingOrFolderFailsAndFreeingNothingIsHarmless) {
  TempDir dir;
  for (const std::string &path : {dir.file("missing"), dir.path}) {
    MemBlock block = {};
    EXPECT_EQ(memBlockLoad(&block, path.c_str()), 0) << path;
    EXPECT_EQ(block.handle, nullptr);
    memBlockFree(&block);
    memBlockFree(&block);
  }
}

TEST(MemBlock, LoadsEveryByte) {
  TempDir dir;
  Bytes content(100000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = uint8_t(i * 7);
  writeFile(dir.file("f"), content);
  MemBlock block = {};
  ASSERT_NE(memBlockLoad(&block, dir.file("f").c_str()), 0);
  EXPECT_EQ(Bytes(block.data, block.data + block.length), content);
  memBlockFree(&block);
}

TEST(MemBlock, CreatesZeroFilledAndResizeKeepsFirstBytes) {
  MemBlock block = {};
  ASSERT_NE(memBlockCreate(&block, 1024), 0);
  EXPECT_EQ(Bytes(block.data, block.data + 1024), Bytes(1024, 0));
  block.data[0] = 1, block.data[1] = 2, block.data[2] = 3;
  ASSERT_NE(memBlockResize(&block, 11264), 0);
  EXPECT_EQ(toHex(Bytes(block.data, block.data + 3)), "01 02 03");
  block.data[11263] = 9;  // the new size is usable
  memBlockFree(&block);

  MemBlock none = {};
  EXPECT_NE(memBlockCreate(&none, 0), 0);
  EXPECT_NE(none.handle, nullptr);
  memBlockFree(&none);
}

TEST(MemBlock, SaveReplacesWholeContent) {
  TempDir dir;
  writeFile(dir.file("f"), Bytes(5000, 0x55));
  MemBlock block = {};
  memBlockCreate(&block, 16);
  block.data[0] = 0xAB;
  block.length = 1;
  EXPECT_NE(memBlockSave(&block, dir.file("f").c_str()), 0);
  EXPECT_EQ(toHex(readFile(dir.file("f"))), "AB");
  block.length = 0;
  EXPECT_NE(memBlockSave(&block, dir.file("f").c_str()), 0);
  EXPECT_TRUE(readFile(dir.file("f")).empty());
  EXPECT_TRUE(fileExists(dir.file("f")));
  EXPECT_EQ(listFolder(dir.path).size(), 1u);
  memBlockFree(&block);
}

TEST(WholeFile, FailedWriteReportsZeroAndLeavesNothing) {
  TempDir dir;
  const uint8_t bytes[] = {1, 2, 3};
  EXPECT_EQ(writeWholeFile(dir.file("no/such/folder/f").c_str(), bytes, 3), 0);
  makeFolder(dir.file("folder"));
  writeFile(dir.file("folder/inside"), {});
  EXPECT_EQ(writeWholeFile(dir.file("folder").c_str(), bytes, 3), 0);
  EXPECT_EQ(listFolder(dir.path).size(), 1u);
  EXPECT_EQ(listFolder(dir.file("folder")).size(), 1u);
}

// Blocks of several megabytes have storage of their own: zero-filled, and
// resizing keeps their first bytes whether the bytes move to or from the
// heap.
TEST(MemBlock, LargeBlocksKeepTheirBytesAcrossResizes) {
  const uint32_t mega = memBlockLargeSize / 2;
  MemBlock block = {};
  ASSERT_NE(memBlockCreate(&block, 3 * mega + 5), 0);
  EXPECT_EQ(Bytes(block.data, block.data + 3 * mega + 5), Bytes(3 * mega + 5, 0));
  Bytes pattern(3 * mega + 5);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = uint8_t(i * 31 + i / 4099);
  std::copy(pattern.begin(), pattern.end(), block.data);
  struct Step {
    uint32_t size, kept;
  } steps[] = {{5 * mega, 3 * mega + 5}, {7 * mega + 1, 3 * mega + 5}, {100, 100}, {4 * mega, 100}, {2 * mega, 100}};
  for (const Step &step : steps) {
    ASSERT_NE(memBlockResize(&block, step.size), 0) << step.size;
    EXPECT_EQ(Bytes(block.data, block.data + step.kept), Bytes(pattern.begin(), pattern.begin() + step.kept))
        << step.size;
    if (step.size > step.kept) block.data[step.size - 1] = 7;  // the new size is usable
  }
  memBlockFree(&block);
}

#ifndef _WIN32
// A file is read whole into a block of its size, a stream into a block that
// grows as it comes: either way, on the heap or in a large block of its own
// (2 MiB-aligned on Linux), the block holds the file's bytes.
TEST(WholeFile, LargeAndSmallBlocksReadAlike) {
  TempDir dir;
  const uint32_t large = memBlockLargeSize;
  for (uint32_t size : {large - 1, large, large + 1, 3 * large + 4097}) {
    Bytes content(size);
    for (size_t i = 0; i < content.size(); ++i) content[i] = uint8_t(i * 7 + i / 65521);
    std::string path = dir.file("f" + std::to_string(size));
    writeFile(path, content);

    MemBlock loaded = {}, streamed = {};
    ASSERT_NE(memBlockLoad(&loaded, path.c_str()), 0) << size;
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    streamed.handle = readToEnd(fd, UINT32_MAX, &streamed.data, &streamed.length);
    close(fd);
    ASSERT_NE(streamed.handle, nullptr) << size;
#ifdef __linux__
    if (size >= large) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(loaded.data) % large, 0u) << size;
    }
#endif
    EXPECT_EQ(Bytes(loaded.data, loaded.data + loaded.length), content) << size;
    EXPECT_EQ(Bytes(streamed.data, streamed.data + streamed.length), content) << size;
    memBlockFree(&loaded);
    memBlockFree(&streamed);
  }
}
#endif
