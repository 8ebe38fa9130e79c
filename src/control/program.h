// What tells qn from qn-vga. main.cpp is shared; each program links one of
// program_sdl.cpp (qn) and program_vga.cpp (qn-vga) with its display back end.
#pragma once

// Prints the banner (and qn's usage line); returns the window the command
// line asks for, as display_open takes it: 0 for the full screen (always on
// the console), else the window's size in multiples of the picture.
int program_start(int argc, char** argv);

// Once the display is open: false, after printing why, when the program
// cannot draw on it.
bool program_display_ready();
