// The SDL 1.2 back end of qn: a 32-bit software surface in a window or full
// screen, whole frames copied in under a lock, the quit input polled once a
// frame. A screen larger than the picture shows it scaled by a whole factor,
// centred on black. Every call into SDL is made with SIGALRM blocked, since
// the alarm handler mixes sound and must never interrupt SDL or Xlib.
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/alarm.h"
#include "common/frame.h"
#include "common/globals.h"
#include "common/signal_keep.h"
#include "display/display.h"
#include "display/display_scale.h"

struct DisplayState {
  SDL_Surface* screen;
  ScaledPlace place;  // where the picture sits on the screen
  bool blank;         // the whole screen has been cleared since the mode was set
};

namespace {
DisplayState display_state{nullptr, {}, false};
std::vector<unsigned char> scaled_line;  // one widened row of the picture

// A window is `windowed` times the picture's size, or fits the desktop. Full screen takes the
// desktop's size where SDL knows it and the picture fits: no display made
// today has a 320x240 mode, and asking for one gives a stamp in the middle.
void screen_size(int width, int height, int windowed, int* screen_width, int* screen_height) {
  if (windowed == DISPLAY_WINDOW_FIT) {
    // Room left for the desktop's panels and the window's frame.
    const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
    const int factor = desktop ? desktop->current_h * 2 / 3 / height : 1;
    windowed = factor < 2 ? 1 : factor > 8 ? 8 : factor;
  }
  *screen_width = width * (windowed ? windowed : 1);
  *screen_height = height * (windowed ? windowed : 1);
  if (windowed) return;
  const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
  if (desktop && desktop->current_w >= width && desktop->current_h >= height) {
    *screen_width = desktop->current_w;
    *screen_height = desktop->current_h;
  }
}

// Lock, copy, unlock, update: the whole screen every time. A null image
// presents black. Called with SIGALRM blocked.
void present_locked(const std::uint32_t* image, const char* lock_error) {
  DisplayState& state = display_state;
  SDL_Surface* screen = state.screen;
  if (SDL_LockSurface(screen) < 0) {
    std::fputs(lock_error, stdout);
    demo_running = 0;
    return;
  }
  // Row by row through the pitch: still right should a driver pad its rows.
  auto* pixels = static_cast<unsigned char*>(screen->pixels);
  if (!image || !state.blank) {
    // The clear, and the border around the first picture.
    for (int y = 0; y < screen->h; y++)
      std::memset(pixels + static_cast<std::ptrdiff_t>(y) * screen->pitch, 0,
                  static_cast<std::size_t>(screen->w) * 4);
    state.blank = true;
  }
  if (image) {
    const ScaledPlace& at = state.place;
    scaled_copy(reinterpret_cast<const unsigned char*>(image), FRAME_WIDTH, FRAME_HEIGHT, 4,
                pixels + static_cast<std::ptrdiff_t>(at.top) * screen->pitch + at.left * 4,
                screen->pitch, at.scale, scaled_line.data());
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

  // SIGINT and SIGTERM keep their usual effect until demo control installs
  // its own SIGTERM handler.
  std::string reason;
  bool init;
  {
    SignalKeep signals;
    init = init_video(&reason);
  }
  if (!init) {
    std::fprintf(stderr, "Unable to initiate SDL: %s\n", reason.c_str());
    return nullptr;
  }

  SDL_WM_SetCaption("Quillion", nullptr);
  SDL_ShowCursor(0);
  int screen_width, screen_height;
  screen_size(width, height, windowed, &screen_width, &screen_height);
  const Uint32 flags = windowed ? 0 : SDL_FULLSCREEN;
  SDL_Surface* screen = SDL_SetVideoMode(screen_width, screen_height, bits_per_pixel, flags);
  // The picture is placed by the surface SDL gave, never by what was asked.
  const ScaledPlace place =
      screen ? scaled_place(screen->w, screen->h, width, height) : ScaledPlace{0, 0, 0};
  if (place.scale < 1) {
    std::fprintf(stderr, "Unable to set videomode 320x240x32: %s\n", SDL_GetError());
    SDL_Quit();
    return nullptr;
  }
  scaled_line.assign(static_cast<std::size_t>(width) * place.scale * 4, 0);
  display_state = {screen, place, false};
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
  display_state = {nullptr, {}, false};
}
