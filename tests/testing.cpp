#include "tests/testing.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

Bytes hex(const std::string &text) {
  Bytes bytes;
  std::string digits;
  for (char c : text)
    if (c != ' ') digits += c;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(uint8_t(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
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

Converted convertImage(const Bytes &image, uint16_t vibMask, uint16_t ledMask) {
  conversionSettings.vibMask = vibMask;
  conversionSettings.ledMask = ledMask;
  MemBlock input = {}, output = {};
  memBlockCreate(&input, uint32_t(image.size()));
  if (!image.empty()) std::memcpy(input.data, image.data(), image.size());
  input.length = uint32_t(image.size());
  memBlockCreate(&output, 1024);
  convertBuffer(&input, &output);
  Converted result = {Bytes(output.data, output.data + output.length), conversionSettings.report};
  memBlockFree(&input);
  memBlockFree(&output);
  return result;
}

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

void writeFile(const std::string &path, const Bytes &bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::vector<std::string> listFolder(const std::string &path) {
  std::vector<std::string> names;
  if (DIR *dir = opendir(path.c_str())) {
    while (dirent *entry = readdir(dir))
      if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, ".."))
        names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}
