// The 10 ms SIGALRM mixes sound from inside its handler, so it must only ever
// interrupt our own code: calls into SDL/X11 and stdio on the main thread are
// made with it blocked (an alarm arriving meanwhile is delivered on unblock).
#pragma once
#include <pthread.h>
#include <signal.h>

class AlarmBlock {
 public:
  AlarmBlock() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &set, &old_);
  }
  ~AlarmBlock() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  AlarmBlock(const AlarmBlock&) = delete;
  AlarmBlock& operator=(const AlarmBlock&) = delete;

 private:
  sigset_t old_;
};
