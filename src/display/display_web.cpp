// The browser back end of qn-web: SDL 1.2 as emscripten implements it, a
// 320x240 canvas. The timeline's loop stays a plain loop: the quit poll,
// which every frame of every scene makes (the closing scene presents only
// once), yields to the browser (asyncify unwinds and rewinds the stack), so
// the page paints, takes input and runs the audio callback that drives the
// clock. In test mode nothing is shown until the test's frame, and the poll
// yields only now and then, to keep the page responsive.
#include "display/display_web.h"

#include <SDL/SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/frame.h"
#include "common/globals.h"
#include "display/display.h"

struct DisplayState {
  SDL_Surface* screen;
};

namespace {
DisplayState state{nullptr};
bool keep = false;
bool scenes_begun = false;  // after display_clear: the loading picture is gone
int polls = 0;
std::uint32_t kept[FRAME_PIXELS];

// The bodies are JavaScript, which the C++ formatter would break.
// clang-format off
// Resumes on the next display refresh: one frame each, painted right after.
EM_ASYNC_JS(void, wait_animation_frame, (), { await new Promise(requestAnimationFrame); });
// Resumes once the browser has painted what is on the canvas: the loading
// picture must be seen before the tables hold the thread.
EM_ASYNC_JS(void, wait_painted, (), {
  await new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve, 0)));
});
// Resumes as soon as the event loop has had a turn (no timer clamp).
EM_ASYNC_JS(void, wait_event_loop, (), {
  await new Promise(resolve => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => resolve();
    channel.port2.postMessage(0);
  });
});
// clang-format on

// The canvas's bytes are R, G, B, A: each word 0x00RRGGBB becomes 0xFFBBGGRR.
// Plain shifts and masks, which the compiler turns into SIMD.
void to_canvas(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src) {
  for (int i = 0; i < FRAME_PIXELS; i++) {
    const std::uint32_t w = src[i];
    dst[i] = 0xFF000000u | (w & 0x0000FF00u) | ((w >> 16) & 0xFFu) | ((w & 0xFFu) << 16);
  }
}

// Lock, convert, unlock, update; a null image shows black. The surface's rows
// are contiguous in emscripten's SDL.
void show(const std::uint32_t* image, const char* lock_error) {
  SDL_Surface* screen = state.screen;
  if (SDL_LockSurface(screen) < 0) {
    std::fputs(lock_error, stdout);
    demo_running = 0;
    return;
  }
  auto* pixels = static_cast<std::uint32_t*>(screen->pixels);
  if (image)
    to_canvas(pixels, image);
  else
    std::fill_n(pixels, FRAME_PIXELS, 0xFF000000u);
  SDL_UnlockSurface(screen);
  SDL_UpdateRect(screen, 0, 0, 0, 0);
}
}  // namespace

void display_web_keep_pictures() { keep = true; }

void display_web_show_kept() { show(kept, DISPLAY_LOCK_ERROR); }

DisplayState* display_open(int width, int height, int bits_per_pixel, int) {
  std::printf("Initiating SDL startup sequence...\n");
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::fprintf(stderr, "Unable to initiate SDL: %s\n", SDL_GetError());
    return nullptr;
  }
  // Every presentation writes every pixel, opaque: no read-back of the
  // canvas on lock and no alpha passes on unlock.
  EM_ASM({
    SDL.defaults.discardOnLock = true;
    SDL.defaults.opaqueFrontBuffer = false;
  });
  SDL_WM_SetCaption("Quillion", nullptr);
  if (!keep) SDL_ShowCursor(0);
  SDL_Surface* screen = SDL_SetVideoMode(width, height, bits_per_pixel, 0);
  if (!screen) {
    std::fprintf(stderr, "Unable to set videomode 320x240x32: %s\n", SDL_GetError());
    SDL_Quit();
    return nullptr;
  }
  state.screen = screen;
  return &state;
}

void display_present(const std::uint32_t* image, const char* lock_error) {
  if (keep) {
    std::memcpy(kept, image, FRAME_BYTES);
    return;
  }
  show(image, lock_error);
  if (!scenes_begun) wait_painted();  // the loading picture; the scenes yield in the poll
}

void display_clear() {
  scenes_begun = true;
  if (keep)
    std::memset(kept, 0, FRAME_BYTES);
  else
    show(nullptr, DISPLAY_LOCK_ERROR);
}

void display_poll_quit() {
  if (keep) {
    if (++polls % 64 == 0) wait_event_loop();
    return;
  }
  wait_animation_frame();
  // As qn: the left button alone, then one event, of which only a key press counts.
  if ((SDL_GetMouseState(nullptr, nullptr) & 0xFF) == SDL_BUTTON_LMASK) demo_running = 0;
  SDL_Event event;
  if (SDL_PollEvent(&event) && event.type == SDL_KEYDOWN) demo_running = 0;
}

// The canvas keeps the last picture for the page's closing state, so SDL is
// left as it is until the page goes.
void display_close() { state.screen = nullptr; }
