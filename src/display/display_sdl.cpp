// The SDL 1.2 back end of qn: a 320x240x32 software surface in a window or
// full screen, whole frames copied in under a lock, the quit input polled
// once a frame. Every call into SDL is made with SIGALRM blocked, since the
// alarm handler mixes sound and must never interrupt SDL or Xlib.
#include <SDL/SDL.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/alarm.h"
#include "common/frame.h"
#include "common/globals.h"
#include "display/display.h"

struct DisplayState {
  SDL_Surface* screen;
};

namespace {
DisplayState display_state{nullptr};

// Lock, copy, unlock, update: the whole screen every time. A null image
// presents black. Called with SIGALRM blocked.
void present_locked(const std::uint32_t* image, const char* lock_error) {
  SDL_Surface* screen = display_state.screen;
  if (SDL_LockSurface(screen) < 0) {
    std::fputs(lock_error, stdout);
    demo_running = 0;
    return;
  }
  // Row by row through the pitch: one block for this mode, and still right
  // should a driver pad its rows.
  auto* dst = static_cast<std::uint8_t*>(screen->pixels);
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    std::uint8_t* row = dst + static_cast<std::ptrdiff_t>(y) * screen->pitch;
    if (image)
      std::memcpy(row, image + y * FRAME_WIDTH, FRAME_WIDTH * 4);
    else
      std::memset(row, 0, FRAME_WIDTH * 4);
  }
  SDL_UnlockSurface(screen);
  SDL_UpdateRect(screen, 0, 0, 0, 0);
}

// SDL's own order of the drivers that draw in a window or on a frame buffer.
// Left to itself SDL goes on to a text-mode driver, which draws the demo as
// coloured characters into the terminal: without a display, that is no
// display. A driver the user names in SDL_VIDEODRIVER is used as named.
constexpr const char* GRAPHICAL_DRIVERS[] = {"x11", "dga", "fbcon", "directfb", "ggi", "svgalib"};

// SDL_Init for video; on failure, the reason to print.
bool init_video(std::string* reason) {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen && *chosen) {
    if (SDL_Init(SDL_INIT_VIDEO) >= 0) return true;
    *reason = SDL_GetError();
    return false;
  }
  for (const char* driver : GRAPHICAL_DRIVERS) {
    setenv("SDL_VIDEODRIVER", driver, 1);
    const int init = SDL_Init(SDL_INIT_VIDEO);
    unsetenv("SDL_VIDEODRIVER");
    if (init >= 0) return true;
  }
  const char* display = std::getenv("DISPLAY");
  *reason = display && *display ? "no graphical display was found (cannot open the X display \"" +
                                      std::string(display) + "\")"
                                : "no graphical display was found (DISPLAY is not set)";
  return false;
}
}  // namespace

DisplayState* display_open(int width, int height, int bits_per_pixel, int windowed) {
  AlarmBlock no_alarms;
  std::printf("Initiating SDL startup sequence...\n");

  // SDL turns SIGINT and SIGTERM into quit events, which the quit poll
  // drops; put back what the process had before so that both keep their
  // usual effect until demo control installs its own SIGTERM handler.
  struct sigaction old_int {
  }, old_term{};
  sigaction(SIGINT, nullptr, &old_int);
  sigaction(SIGTERM, nullptr, &old_term);
  std::string reason;
  const bool init = init_video(&reason);
  sigaction(SIGINT, &old_int, nullptr);
  sigaction(SIGTERM, &old_term, nullptr);
  if (!init) {
    std::fprintf(stderr, "Unable to initiate SDL: %s\n", reason.c_str());
    return nullptr;
  }

  SDL_WM_SetCaption("Quillion", nullptr);
  SDL_ShowCursor(0);
  const Uint32 flags = windowed ? 0 : SDL_FULLSCREEN;
  SDL_Surface* screen = SDL_SetVideoMode(width, height, bits_per_pixel, flags);
  if (!screen) {
    std::fprintf(stderr, "Unable to set videomode 320x240x32: %s\n", SDL_GetError());
    SDL_Quit();
    return nullptr;
  }
  display_state.screen = screen;
  return &display_state;
}

void display_present(const std::uint32_t* image, const char* lock_error) {
  AlarmBlock no_alarms;
  present_locked(image, lock_error);
}

void display_clear() {
  AlarmBlock no_alarms;
  present_locked(nullptr, DISPLAY_LOCK_ERROR);
}

void display_poll_quit() {
  AlarmBlock no_alarms;
  // The left button alone: left and right held together do not quit.
  if ((SDL_GetMouseState(nullptr, nullptr) & 0xFF) == SDL_BUTTON_LMASK) demo_running = 0;
  // One event a frame, never a drained queue; only a key press counts (a
  // window-close request is dropped like everything else).
  SDL_Event event;
  if (SDL_PollEvent(&event) && event.type == SDL_KEYDOWN) demo_running = 0;
}

void display_close() {
  AlarmBlock no_alarms;
  SDL_Quit();
  display_state.screen = nullptr;
}
