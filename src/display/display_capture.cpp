// The capture back end: presenting copies the image, clearing blackens the
// picture, the quit poll never quits. It writes nothing itself.
#include "display/display_capture.h"

#include <cstring>

#include "display/display.h"

struct DisplayState {
  CaptureScreen screen;
};

namespace {
DisplayState state;
}  // namespace

DisplayState* display_open(int, int, int, int) { return &state; }

void display_present(const std::uint32_t* image, const char*) {
  std::memcpy(state.screen.picture, image, FRAME_BYTES);
  state.screen.presentations++;
}

void display_clear() {
  std::memset(state.screen.picture, 0, FRAME_BYTES);
  state.screen.presentations = 0;
}

void display_poll_quit() {}

void display_close() {}

const CaptureScreen& display_capture_screen() { return state.screen; }
