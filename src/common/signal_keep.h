// SDL (1.2 for the display, 2 under the sound library's SDL output) turns
// SIGINT and SIGTERM into quit events that the demo never reads, so Ctrl-C
// would no longer end it. A library is started inside one of these, which
// puts back the actions the process had once the library is up.
#pragma once
#include <signal.h>

class SignalKeep {
 public:
  SignalKeep() {
    sigaction(SIGINT, nullptr, &int_);
    sigaction(SIGTERM, nullptr, &term_);
  }
  ~SignalKeep() {
    sigaction(SIGINT, &int_, nullptr);
    sigaction(SIGTERM, &term_, nullptr);
  }
  SignalKeep(const SignalKeep&) = delete;
  SignalKeep& operator=(const SignalKeep&) = delete;

 private:
  struct sigaction int_ {
  }, term_{};
};
