#include "tests/testing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

Bytes hex(const std::string &text) {
  Bytes bytes;
  std::string digits;
  for (char c : text)
    if (c != ' ') digits += c;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(uint8_t(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
  return bytes;
}

Bytes be(uint32_t value, uint32_t width) {
  Bytes bytes(width);
  for (uint32_t i = 0; i < width; ++i) bytes[i] = uint8_t(value >> (8 * (width - 1 - i)));
  return bytes;
}

Bytes ascii(const std::string &text) { return Bytes(text.begin(), text.end()); }

Bytes operator+(Bytes a, const Bytes &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string toHex(const Bytes &bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

// A block holding a copy of the image.
static MemBlock blockOf(const Bytes &image) {
  MemBlock input = {};
  memBlockCreate(&input, uint32_t(image.size()));
  if (!image.empty()) std::memcpy(input.data, image.data(), image.size());
  input.length = uint32_t(image.size());
  return input;
}

Converted convertWithSettings(const Bytes &image, uint16_t vibMask, uint16_t ledMask) {
  conversionSettings.vibMask = vibMask;
  conversionSettings.ledMask = ledMask;
  MemBlock input = blockOf(image), output = {};
  memBlockCreate(&output, 1024);
  convertBuffer(&input, &output);
  Converted result = {Bytes(output.data, output.data + output.length), conversionSettings.report};
  memBlockFree(&input);
  memBlockFree(&output);
  return result;
}

ConvertedByRequest convertWithRequest(const Bytes &image, const ConversionRequest &request) {
  MemBlock input = blockOf(image), output = {};
  ConversionResult result = convertBlock(input, &output, request);
  ConvertedByRequest converted = {Bytes(output.data, output.data + output.length), result};
  memBlockFree(&input);
  memBlockFree(&output);
  return converted;
}

void writeFile(const std::string &path, const Bytes &bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

#ifdef _WIN32
// The folder's own files lose their read-only mark so that they can go.
static void removeTree(const std::string &path) {
  for (const std::string &name : listFolder(path)) {
    std::string child = path + pathSeparator + name;
    DWORD attributes = GetFileAttributesA(child.c_str());
    SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      removeTree(child);
    else
      DeleteFileA(child.c_str());
  }
  RemoveDirectoryA(path.c_str());
}

// A unique name from GetTempFileNameA, which creates it as a file: the file
// makes way for the folder.
TempDir::TempDir() {
  char base[MAX_PATH], name[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, base);
  if (n == 0 || n >= MAX_PATH || !GetTempFileNameA(base, "sbt", 0, name)) return;
  if (DeleteFileA(name) && CreateDirectoryA(name, nullptr)) path = name;
}

TempDir::~TempDir() {
  if (!path.empty()) removeTree(path);
}

bool fileExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool makeFolder(const std::string &path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

std::vector<std::string> listFolder(const std::string &path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::strcmp(entry.cFileName, ".") && std::strcmp(entry.cFileName, "..")) names.push_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

#else
static void removeTree(const std::string &path) {
  for (const std::string &name : listFolder(path)) {
    std::string child = path + "/" + name;
    struct stat info;
    if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      chmod(child.c_str(), 0700);
      removeTree(child);
    } else {
      std::remove(child.c_str());
    }
  }
  rmdir(path.c_str());
}

TempDir::TempDir() {
  const char *base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/sorbelin-test-XXXXXX";
  path = mkdtemp(&pattern[0]) ? pattern : "";
}

TempDir::~TempDir() {
  if (!path.empty()) {
    chmod(path.c_str(), 0700);
    removeTree(path);
  }
}

bool fileExists(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool makeFolder(const std::string &path) { return mkdir(path.c_str(), 0755) == 0; }

std::vector<std::string> listFolder(const std::string &path) {
  std::vector<std::string> names;
  if (DIR *dir = opendir(path.c_str())) {
    while (dirent *entry = readdir(dir))
      if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, "..")) names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}

#endif
