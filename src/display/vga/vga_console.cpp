// The virtual console under the graphics mode. A program that leaves the
// console in graphics mode or the keyboard raw leaves the user without a
// usable terminal, so the previous state is put back on every way out.
#include <fcntl.h>
#include <linux/kd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iterator>

#include "display/vga/vga_internal.h"

namespace {
int tty = -1;
volatile std::sig_atomic_t entered = 0;
termios saved_termios;
bool have_termios = false;
long saved_kbmode = K_XLATE;
bool have_kbmode = false;
bool hooks_installed = false;

constexpr int fatal_signals[] = {SIGINT,  SIGTERM, SIGQUIT, SIGHUP,  SIGPIPE, SIGUSR1,
                                 SIGUSR2, SIGXCPU, SIGXFSZ, SIGSEGV, SIGBUS,  SIGFPE,
                                 SIGILL,  SIGTRAP, SIGSYS,  SIGABRT};
// Would stop the process with the console still in graphics mode, where
// whoever sits at it cannot bring it back: ignored while the mode is set.
constexpr int stop_signals[] = {SIGTSTP, SIGTTIN, SIGTTOU};
struct sigaction saved_stop[std::size(stop_signals)];

// Restores the console, then lets the signal do what it would have done.
void restore_and_reraise(int sig) {
  console_leave();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void install_hooks() {
  if (hooks_installed) return;
  hooks_installed = true;
  std::atexit(console_leave);
  for (int sig : fatal_signals) {
    struct sigaction old {};
    sigaction(sig, nullptr, &old);
    // Only where the signal would end the process anyway: a handler the demo
    // installed itself (SIGTERM) is left alone.
    if (old.sa_handler != SIG_DFL) continue;
    struct sigaction sa {};
    sa.sa_handler = restore_and_reraise;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    sigaction(sig, &sa, nullptr);
  }
}

// Raw as cfmakeraw makes it on input: every byte the keyboard sends is a key,
// none a signal (in raw keyboard mode 0x03, 0x1C and 0x1A are the scancodes
// of ordinary keys). Output is left as it was, for the trace.
termios raw_keyboard(termios t) {
  t.c_iflag &=
      ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  return t;
}
}  // namespace

void console_enter() {
  if (entered) return;
  if (tty < 0) tty = open("/dev/tty", O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (tty < 0) return;
  install_hooks();
  have_termios = tcgetattr(tty, &saved_termios) == 0;
  have_kbmode = ioctl(tty, KDGKBMODE, &saved_kbmode) == 0;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  for (std::size_t i = 0; i < std::size(stop_signals); i++)
    sigaction(stop_signals[i], &ignore, &saved_stop[i]);
  // From here a signal finds the state to put back.
  entered = 1;
  if (have_termios) {
    const termios raw = raw_keyboard(saved_termios);
    tcsetattr(tty, TCSANOW, &raw);
  }
  // These two only work on a virtual console; elsewhere they fail harmlessly.
  if (have_kbmode) ioctl(tty, KDSKBMODE, K_RAW);
  ioctl(tty, KDSETMODE, KD_GRAPHICS);
}

// Async-signal-safe: system calls only.
void console_leave() {
  if (!entered) return;
  entered = 0;
  ioctl(tty, KDSETMODE, KD_TEXT);
  if (have_kbmode) ioctl(tty, KDSKBMODE, saved_kbmode);
  if (have_termios) tcsetattr(tty, TCSANOW, &saved_termios);
  for (std::size_t i = 0; i < std::size(stop_signals); i++)
    sigaction(stop_signals[i], &saved_stop[i], nullptr);
}

int console_read_key() {
  if (!entered) return -1;
  unsigned char byte;
  return read(tty, &byte, 1) == 1 ? byte : -1;
}
