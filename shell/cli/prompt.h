// The Save dialog's part, played in a terminal.
#pragma once

#include <cstdio>
#include <string>

// Asks for the output path on `out`, reading answers from `in`, proposing the
// input's file name, which an empty answer takes. A name typed without an
// extension gets the input's; an existing file is replaced only after a yes.
// Returns 0 when the user cancels with the end of input (Ctrl-D).
int askOutputPath(const char *inputPath, FILE *in, FILE *out, std::string *outputPath);
