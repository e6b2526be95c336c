// The channels that the engine suggests for a file, natively, in the form
// that `sorbelin --vib LIST --led LIST` takes: the page's tests convert
// with them to get what `--vib auto --led auto` writes.
//   web_suggested [--all-tracks] FILE   prints "VIBLIST LEDLIST" ("6 5", "none 1")
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/suggest.h"

namespace {

std::string listOf(uint16_t mask) {
  std::string list;
  for (int k = 0; k < 16; ++k)
    if ((mask >> k) & 1) list += (list.empty() ? "" : ",") + std::to_string(k + 1);
  return list.empty() ? "none" : list;
}

}  // namespace

int main(int argc, char **argv) {
  bool allTracks = argc == 3 && std::strcmp(argv[1], "--all-tracks") == 0;
  if (argc != 2 + allTracks) {
    std::fprintf(stderr, "usage: web_suggested [--all-tracks] FILE\n");
    return 2;
  }
  std::ifstream in(argv[argc - 1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "web_suggested: cannot read %s\n", argv[argc - 1]);
    return 1;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  FileSuggestion file;
  suggestForImage(bytes.data(), bytes.size(), allTracks, &file);
  std::printf("%s %s\n", listOf(file.suggestion.vibration).c_str(), listOf(file.suggestion.led).c_str());
  return 0;
}
