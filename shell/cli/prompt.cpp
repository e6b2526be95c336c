#include "shell/cli/prompt.h"

#include <sys/stat.h>

#include "resources/clitexts.h"
#include "shell/cli/language.h"
#include "shell/cli/paths.h"

namespace {

// One line from `in` without its line end; false at the end of input.
bool readAnswer(FILE *in, std::string *line) {
  line->clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') *line += char(c);
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return c != EOF || !line->empty();
}

bool confirmReplace(const std::string &path, FILE *in, FILE *out) {
  std::fprintf(out, say(msgAskReplace), path.c_str());
  std::fflush(out);
  std::string answer;
  return readAnswer(in, &answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

}  // namespace

int askOutputPath(const char *inputPath, FILE *in, FILE *out, std::string *outputPath) {
  std::string input = inputPath;
  std::string proposed = input.substr(fileNameStart(input));
  std::string extension = input.substr(extensionStart(input));
  for (;;) {
    std::fprintf(out, say(msgAskOutput), proposed.c_str());
    std::fflush(out);
    std::string answer;
    if (!readAnswer(in, &answer)) return 0;
    if (answer.empty()) answer = proposed;  // Enter takes the proposal, as a Save dialog does
    if (extensionStart(answer) == answer.size() && !extension.empty() && answer.back() != '/') answer += extension;
    struct stat info;
    if (stat(answer.c_str(), &info) != 0 || confirmReplace(answer, in, out)) {
      *outputPath = answer;
      return 1;
    }
  }
}
