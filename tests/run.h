// Runs the native program, or any command, as a separate process and
// collects what it says.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

struct Outcome {
  int status;  // exit status, or 128 + the signal that ended it
  std::string out, err;
};

// Runs a command (its program found on PATH) in `folder`. With `terminal`,
// standard input is a pseudo-terminal that receives `typed`; otherwise it is
// /dev/null.
Outcome runProgram(const std::string &folder, const std::vector<std::string> &command, bool terminal = false,
                   const std::string &typed = "");

// Runs the program in `folder` with `args`. With `terminal`, standard input
// is a pseudo-terminal that receives `typed`; otherwise it is /dev/null.
Outcome runSorbelin(const std::string &folder, const std::vector<std::string> &args, bool terminal = false,
                    const std::string &typed = "");

// Starts the program in `folder` with `args`, its standard descriptors on
// /dev/null, and returns at once with its process id.
pid_t startSorbelin(const std::string &folder, const std::vector<std::string> &args);

// Waits for a process that startSorbelin started: its exit status, or 128 +
// the signal that ended it.
int waitForExit(pid_t child);

// Runs a script with sh in `folder`, "$0" standing for the program: real
// pipes, redirections and FIFOs around it.
Outcome runScript(const std::string &folder, const std::string &script);
