// Runs a program on a pseudo-terminal of its own, as a login shell runs a job
// on a console: the terminal is the program's controlling terminal and the
// program its foreground job, which the terminal's stop signals would stop.
// Once the program has made the keyboard raw, the actions are done in order:
//   xHH   the byte HH arrives from the keyboard
//   NAME  the signal SIGNAME is sent (TERM, INT, QUIT, HUP, ABRT, TSTP, ...)
// Exits with the program's status (128 + N after signal N) when the terminal's
// settings afterwards equal those before; otherwise, or when the program
// stopped or never made the keyboard raw, says so and exits with 125.
//   pty_run ACTION... -- PROGRAM ARG...
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {
int fail(const char* what) {
  std::fprintf(stderr, "pty_run: %s\n", what);
  return 125;
}

bool same(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

int signal_number(const std::string& name) {
  for (int sig = 1; sig < NSIG; sig++) {
    const char* abbrev = sigabbrev_np(sig);
    if (abbrev && name == abbrev) return sig;
  }
  return 0;
}

// The terminal's foreground job, where the program runs.
void signal_job(int master, int sig) {
  const pid_t job = tcgetpgrp(master);
  if (job > 1) kill(-job, sig);
}

void nap() {
  const timespec step{0, 10 * 1000 * 1000};
  nanosleep(&step, nullptr);
}
}  // namespace

int main(int argc, char** argv) {
  int split = 1;
  while (split < argc && std::strcmp(argv[split], "--") != 0) split++;
  if (split + 1 >= argc) return fail("usage: pty_run ACTION... -- PROGRAM ARG...");

  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
    return fail("no pseudo-terminal");
  const char* name = ptsname(master);
  // Held open here too, so the terminal outlives the program's last close.
  const int slave = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  termios before{};
  if (slave < 0 || tcgetattr(slave, &before) != 0) return fail("the terminal cannot be opened");

  const pid_t pid = fork();
  if (pid < 0) return fail("cannot fork");
  if (pid == 0) {
    // The session's leader, as a login shell: a job whose parent is
    // in another group of its session can be stopped.
    setsid();
    const int tty = open(name, O_RDWR);
    if (tty < 0 || ioctl(tty, TIOCSCTTY, 0) != 0) _exit(126);
    const pid_t job = fork();
    if (job == 0) {
      setpgid(0, 0);
      std::signal(SIGTTOU, SIG_IGN);
      tcsetpgrp(tty, getpid());
      std::signal(SIGTTOU, SIG_DFL);
      dup2(tty, 0);
      close(tty);
      execvp(argv[split + 1], argv + split + 1);
      _exit(127);
    }
    setpgid(job, job);
    int job_status = 0;
    while (waitpid(job, &job_status, WUNTRACED) < 0)
      if (errno != EINTR) _exit(fail("the program was lost"));
    if (WIFSTOPPED(job_status)) {
      kill(job, SIGKILL);
      _exit(fail("the program was stopped"));
    }
    _exit(WIFEXITED(job_status) ? WEXITSTATUS(job_status) : 128 + WTERMSIG(job_status));
  }

  int status = 0;
  bool ended = false;
  // Raw once canonical input is off; the limit only catches a program that
  // never gets there.
  termios now{};
  for (int i = 0; i < 12000; i++) {
    if (tcgetattr(slave, &now) == 0 && !(now.c_lflag & ICANON)) break;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      ended = true;
      break;
    }
    nap();
  }
  if (ended) return fail("the program ended before the keyboard was raw");
  if (now.c_lflag & ICANON) {
    signal_job(master, SIGKILL);
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return fail("the keyboard never became raw");
  }

  for (int i = 1; i < split; i++) {
    const std::string action = argv[i];
    if (action.size() == 3 && action[0] == 'x') {
      const auto byte = static_cast<unsigned char>(std::strtoul(action.c_str() + 1, nullptr, 16));
      if (write(master, &byte, 1) != 1) return fail("cannot type");
    } else if (const int sig = signal_number(action)) {
      signal_job(master, sig);
    } else {
      signal_job(master, SIGKILL);
      kill(pid, SIGKILL);
      return fail(("unknown action " + action).c_str());
    }
  }

  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return fail("the program was lost");
  termios after{};
  if (tcgetattr(slave, &after) != 0 || !same(before, after))
    return fail("the terminal's settings were left changed");
  return WIFEXITED(status) ? WEXITSTATUS(status) : 125;
}
