/* Preloaded into qn by the soak script: when the player is stopped at
 * shut-down, writes the song position and row it stopped at to the file
 * named by QN_SONG_END_FILE ("position row"). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <mikmod.h>
#include <stdio.h>
#include <stdlib.h>

void Player_Stop(void) {
  static void (*real)(void);
  if (!real) real = (void (*)(void))dlsym(RTLD_NEXT, "Player_Stop");
  const char* path = getenv("QN_SONG_END_FILE");
  MODULE* playing = Player_GetModule();
  if (path && playing) {
    FILE* f = fopen(path, "w");
    if (f) {
      fprintf(f, "%d %d\n", playing->sngpos, playing->patpos);
      fclose(f);
    }
  }
  real();
}
