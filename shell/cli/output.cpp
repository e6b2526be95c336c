#include "shell/cli/output.h"

#include <stdio_ext.h>
#include <cerrno>
#include <cstdarg>

namespace {

// The reason of the first write to standard output that failed; 0 while
// none has. The stream's own error flag does not keep it, and a failed
// flush drops what was buffered, so a later close reports nothing.
int firstFailure = 0;

void check(FILE *stream, bool ok) {
  if (!ok && stream == stdout && firstFailure == 0) firstFailure = errno ? errno : EIO;
}

}  // namespace

void printText(FILE *stream, const std::string &text) {
  errno = 0;
  check(stream, std::fputs(text.c_str(), stream) >= 0);
}

void printFormat(FILE *stream, const char *format, ...) {
  va_list values;
  va_start(values, format);
  errno = 0;
  check(stream, std::vfprintf(stream, format, values) >= 0);
  va_end(values);
}

void flushText(FILE *stream) {
  errno = 0;
  check(stream, std::fflush(stream) == 0);
}

int closeStandardOutput() {
  bool pending = __fpending(stdout) > 0, failed = std::ferror(stdout);
  errno = 0;
  bool closed = std::fclose(stdout) == 0;
  if (firstFailure) return firstFailure;
  if (!closed && (pending || errno != EBADF)) return errno ? errno : EIO;
  return failed ? EIO : 0;
}
