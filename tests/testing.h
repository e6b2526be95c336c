// Test helpers: images built from byte literals, conversions in memory and
// files in a private temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "engine/convert.h"

using Bytes = std::vector<uint8_t>;

// "6D 65 6C 6F" -> the four bytes; spaces are ignored.
Bytes hex(const std::string &text);
// A big-endian number of `width` bytes.
Bytes be(uint32_t value, uint32_t width);
// The bytes of a text, without its terminator.
Bytes ascii(const std::string &text);
Bytes operator+(Bytes a, const Bytes &b);
std::string toHex(const Bytes &bytes);

struct Converted {
  Bytes bytes;
  ConversionReport report;
};

// Runs convertBuffer on a copy of `image` with the given masks in
// conversionSettings, as the Windows program converts.
Converted convertWithSettings(const Bytes &image, uint16_t vibMask, uint16_t ledMask);

struct ConvertedByRequest {
  Bytes bytes;
  ConversionResult result;
};

// Converts `image` as the request asks, through convertBlock.
ConvertedByRequest convertWithRequest(const Bytes &image, const ConversionRequest &request);

#ifdef _WIN32
const char pathSeparator = '\\';
#else
const char pathSeparator = '/';
#endif

// A fresh empty folder, removed with everything in it when the test ends.
struct TempDir {
  std::string path;
  TempDir();
  ~TempDir();
  std::string file(const std::string &name) const { return path + pathSeparator + name; }
};

void writeFile(const std::string &path, const Bytes &bytes);
Bytes readFile(const std::string &path);
bool fileExists(const std::string &path);
bool makeFolder(const std::string &path);
// Names in a folder, "." and ".." left out.
std::vector<std::string> listFolder(const std::string &path);
