#include "display/display_null.h"

#include "display/display.h"

struct DisplayState {
  NullScreen screen;
};

namespace {
DisplayState state;
}  // namespace

DisplayState* display_open(int, int, int, int) {
  state = {};
  return &state;
}

void display_present(const std::uint32_t* image, const char* lock_error) {
  state.screen.presentations++;
  state.screen.last_image = image;
  state.screen.last_lock_error = lock_error;
}

void display_clear() {}

void display_poll_quit() {}

void display_close() {}

const NullScreen& display_null_screen() { return state.screen; }
