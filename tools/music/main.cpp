// Writes the soundtrack "music.xm" into the current folder, or to the path given.
#include <cstdio>

#include "song.h"

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "music.xm";
  if (!xm_save(song_compose(), path)) return 1;
  return 0;
}
