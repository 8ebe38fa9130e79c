// Test helper: presents frames in a 320x240 window and polls the quit input
// once a frame, as the timeline does, until the poll clears demo_running
// (status 0) or `seconds` pass (status 3). An event filter notes what SDL
// delivered, so a test can tell "ignored" from "never arrived"; the notes
// are printed at the end ("seen: key left right close").
//   sdl_poll_probe [seconds]
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/frame.h"
#include "common/globals.h"
#include "display/display.h"

namespace {
bool seen_key, seen_left, seen_right, seen_close;

int note_event(const SDL_Event* event) {
  if (event->type == SDL_KEYDOWN) seen_key = true;
  if (event->type == SDL_MOUSEBUTTONDOWN && event->button.button == SDL_BUTTON_LEFT)
    seen_left = true;
  if (event->type == SDL_MOUSEBUTTONDOWN && event->button.button == SDL_BUTTON_RIGHT)
    seen_right = true;
  if (event->type == SDL_QUIT) seen_close = true;
  return 1;  // queue it as usual
}
}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  if (!display_open(FRAME_WIDTH, FRAME_HEIGHT, 32, 1)) return 1;
  SDL_SetEventFilter(note_event);

  std::vector<std::uint32_t> frame(FRAME_PIXELS);
  const Uint32 start = SDL_GetTicks();
  std::uint32_t n = 0;
  while (demo_running && SDL_GetTicks() - start < seconds * 1000) {
    for (std::uint32_t& p : frame) p = n++ * 0x010101u;
    display_present(frame.data());
    display_poll_quit();
    SDL_Delay(5);
  }
  const int status = demo_running ? 3 : 0;
  display_close();
  std::printf("seen:%s%s%s%s\n", seen_key ? " key" : "", seen_left ? " left" : "",
              seen_right ? " right" : "", seen_close ? " close" : "");
  return status;
}
