/* Preloaded into qn or qn-vga by the signal tests: holds the program at one
 * point of its start-up so that a signal sent from outside lands there.
 *   QN_HOLD=precalc   just after "Precalcing..." is printed, tables not computed
 *   QN_HOLD=pause     in the pause after the tables, the loading picture shown
 *   QN_HOLD=handler   just after the SIGTERM handler is installed, music not started
 *   QN_HOLD_FILE      made when the point is reached; the program goes on once
 *                     the test removes it (or after 30 s)
 * Standard output is line-buffered, so a killed run's trace is complete. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static int handler_next = 0; /* the trace said the SIGTERM handler comes next */
static int pause_next = 0;   /* the next sleep is the pause's first */

__attribute__((constructor)) static void hold_line_buffered(void) {
  setvbuf(stdout, NULL, _IOLBF, 0);
}

static void hold(const char* point) {
  const char* want = getenv("QN_HOLD");
  const char* file = getenv("QN_HOLD_FILE");
  if (!want || !file || strcmp(want, point) != 0) return;
  int fd = open(file, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0) close(fd);
  const struct timespec step = {0, 10 * 1000 * 1000};
  /* Signals interrupt the sleep; the loop just goes on. */
  for (int i = 0; i < 3000 && access(file, F_OK) == 0; i++) nanosleep(&step, NULL);
}

int puts(const char* s) {
  static int (*real)(const char*);
  if (!real) real = (int (*)(const char*))dlsym(RTLD_NEXT, "puts");
  int r = real(s);
  if (strcmp(s, "Precalcing...") == 0) {
    hold("precalc");
    pause_next = 1;
  }
  if (strcmp(s, "Initiating signalhander setup...") == 0) handler_next = 1;
  return r;
}

int usleep(useconds_t usec) {
  static int (*real)(useconds_t);
  if (!real) real = (int (*)(useconds_t))dlsym(RTLD_NEXT, "usleep");
  if (pause_next) {
    pause_next = 0;
    hold("pause");
  }
  return real(usec);
}

sighandler_t signal(int sig, sighandler_t handler) {
  static sighandler_t (*real)(int, sighandler_t);
  if (!real) real = (sighandler_t(*)(int, sighandler_t))dlsym(RTLD_NEXT, "signal");
  sighandler_t old = real(sig, handler);
  if (sig == SIGTERM && handler_next && handler != SIG_DFL && handler != SIG_IGN) {
    handler_next = 0;
    hold("handler");
  }
  return old;
}
