// STUB: replaced by the console back end.
#include "display/display.h"
struct DisplayState { int unused; };
static DisplayState state;
DisplayState* display_open(int, int, int, int) { return &state; }
void display_present(const std::uint32_t*, const char*) {}
void display_clear() {}
void display_poll_quit() {}
void display_close() {}
#include "display/display_vga.h"
bool vga_choose_converter() { return true; }
