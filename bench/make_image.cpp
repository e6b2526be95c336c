// sorbelin_image: writes one of the benchmark's images to a file, for the
// end-to-end comparison of scripts/bench-e2e.
//
//   sorbelin_image melody|smaf SIZE FILE
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/images.h"

int main(int argc, char **argv) {
  if (argc != 4 || (std::strcmp(argv[1], "melody") && std::strcmp(argv[1], "smaf"))) {
    std::fputs("usage: sorbelin_image melody|smaf SIZE FILE\n", stderr);
    return 2;
  }
  uint32_t size = uint32_t(std::strtoul(argv[2], nullptr, 10));
  ByteVector image = std::strcmp(argv[1], "melody") ? makeSmafImage(size) : makeMelodyImage(size);
  FILE *file = std::fopen(argv[3], "wb");
  bool ok = file && std::fwrite(image.data(), 1, image.size(), file) == image.size();
  ok = file && std::fclose(file) == 0 && ok;
  if (!ok) std::perror(argv[3]);
  return ok ? 0 : 1;
}
