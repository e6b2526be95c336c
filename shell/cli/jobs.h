// The files of one run: each input named, and with -r every melody file in
// the folders named, each with the path its result goes to.
#pragma once

#include <string>
#include <vector>

#include "shell/cli/cliargs.h"

struct Job {
  std::string input, output;          // the paths as the system takes them
  std::string inputName, outputName;  // as the messages name them
  bool standardInput;                 // the input is "-"
};

// The path to read for an input named in the POSIX form: "-" is standard
// input.
const char *pathToRead(const char *input);

// One input and its output, both as named. In the POSIX form (`dashes`) "-"
// is standard input, or standard output for -o.
Job makeJob(const std::string &input, const std::string &output, bool dashes);

// Appends the jobs for one input of the POSIX form. With -r, a folder gives
// every regular .mld and .mmf file below it, in name order; symbolic links
// met there are not followed (a folder named may be one). With -d, the tree
// below the folder is recreated under DIR. Returns false when a folder could
// not be read whole (each one is told on stderr); the files found are kept.
bool addJobs(const CliRequest &request, const char *input, std::vector<Job> *jobs);
