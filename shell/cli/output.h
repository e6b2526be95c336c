// What the program prints. Every text for standard output goes through
// here, so that a write that fails (a full disk, a closed pipe) is kept with
// its reason until the program ends and checks standard output once.
#pragma once

#include <cstdio>
#include <string>

// Writes the text to `stream`; a failure on standard output is remembered.
void printText(FILE *stream, const std::string &text);

// The same with a printf format.
void printFormat(FILE *stream, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Hands what `stream` holds to the system; a failure on standard output is
// remembered.
void flushText(FILE *stream);

// Flushes and closes standard output. Returns 0 when everything written to
// it arrived, otherwise the reason (an errno value) of the first failure. A
// standard output that the shell closed (>&-) fails only when something was
// to be written to it.
int closeStandardOutput();
