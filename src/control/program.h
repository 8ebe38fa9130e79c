// What tells qn from qn-vga. main.cpp is shared; each program links one of
// program_sdl.cpp (qn) and program_vga.cpp (qn-vga) with its display back end.
#pragma once

// Prints the banner (and qn's usage line); returns the windowed flag the
// command line asks for (always 0 on the console).
int program_start(int argc, char** argv);

// Once the display is open: false, after printing why, when the program
// cannot draw on it.
bool program_display_ready();
