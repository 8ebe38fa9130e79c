// Plays a module through the capture driver as fast as it mixes: writes the
// WAV and prints the seconds at which the song reached the closing row.
#include <cstdio>
#include <cstdlib>

#include "common/globals.h"
#include "music/music.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: music_render module.xm out.wav\n");
    return 2;
  }
  if (!music_capture_open(argv[2]) || !music_load(argv[1], 64) || !music_start_virtual()) return 1;
  int steps = 0, closing = -1;
  while (Player_Active() && steps < 100 * 60 * 20) {
    if (closing < 0 && music_module->sngpos == 42 && music_module->patpos >= 33) closing = steps;
    clock_step();
    steps++;
  }
  music_stop();
  std::printf("closing %.2f\nend %.2f\n", closing / 100.0, steps / 100.0);
  return music_capture_ok() ? 0 : 1;
}
