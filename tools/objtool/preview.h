// objtool preview: an object file's objects drawn by the demo's own camera,
// render pass and rasterizers, turning, as a contact sheet in a PNG.
#pragma once

// argv holds the arguments after "preview"; the exit status.
int command_preview(int argc, char** argv);

// What an object file read's failure code means (objtool.cpp).
const char* object_file_message(int code);
