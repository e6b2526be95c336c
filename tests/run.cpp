#include "tests/run.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// In a child process: runs the command in `folder` on the standard
// descriptors it has, with the signals' default actions; never returns.
[[noreturn]] void execIn(const std::string &folder, const std::vector<std::string> &command) {
  if (chdir(folder.c_str()) != 0) _exit(126);
  // The same language whoever runs the tests: English, unless a test
  // starts the program through env with a locale of its own.
  unsetenv("LC_ALL"), unsetenv("LC_MESSAGES"), setenv("LANG", "C.UTF-8", 1);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ, SIGPIPE}) signal(s, SIG_DFL);
  std::vector<char *> argv;
  for (const std::string &a : command) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

int exitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

Outcome runProgram(const std::string &folder, const std::vector<std::string> &command, bool terminal,
                   const std::string &typed) {
  int outPipe[2], errPipe[2], master = -1, slave = -1;
  if (pipe(outPipe) || pipe(errPipe) || (terminal && openpty(&master, &slave, nullptr, nullptr, nullptr)))
    return {-1, "", "cannot set up the run"};
  pid_t child = fork();
  if (child == 0) {
    int in = terminal ? slave : open("/dev/null", O_RDONLY);
    dup2(in, 0), dup2(outPipe[1], 1), dup2(errPipe[1], 2);
    execIn(folder, command);
  }
  close(outPipe[1]), close(errPipe[1]);
  if (terminal) {
    close(slave);
    if (write(master, typed.data(), typed.size()) != ssize_t(typed.size())) typed.size();
  }
  Outcome run = {-1, "", ""};
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string *sinks[2] = {&run.out, &run.err};
  for (int open = 2; open > 0;) {
    if (poll(fds, 2, 10000) <= 0) {  // a program waiting for more input
      kill(child, SIGKILL);
      break;
    }
    for (int k = 0; k < 2; ++k) {
      if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP))) continue;
      char buffer[4096];
      ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
      if (n > 0)
        sinks[k]->append(buffer, size_t(n));
      else
        close(fds[k].fd), fds[k].fd = -1, --open;
    }
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (master >= 0) close(master);
  run.status = exitStatus(status);
  return run;
}

pid_t startSorbelin(const std::string &folder, const std::vector<std::string> &args) {
  std::vector<std::string> command = {SORBELIN_BINARY};
  command.insert(command.end(), args.begin(), args.end());
  pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0), dup2(null, 1), dup2(null, 2);
    execIn(folder, command);
  }
  return child;
}

int waitForExit(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return exitStatus(status);
}

Outcome runSorbelin(const std::string &folder, const std::vector<std::string> &args, bool terminal,
                    const std::string &typed) {
  std::vector<std::string> command = {SORBELIN_BINARY};
  command.insert(command.end(), args.begin(), args.end());
  return runProgram(folder, command, terminal, typed);
}

Outcome runScript(const std::string &folder, const std::string &script) {
  return runProgram(folder, {"sh", "-c", script, SORBELIN_BINARY});
}
