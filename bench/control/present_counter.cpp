// Preloaded into qn by scripts/bench.sh: counts the frames qn presents at
// each song position and when each position was first and last seen, and
// when the first frame of the first scene came after the program started.
// The table goes to the file QN_PRESENT_LOG at exit:
//   startup_ms <ms>
//   <position> <frames> <first seconds> <last seconds>
#include <dlfcn.h>
#include <mikmod.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

struct SDL_Surface;

namespace {
constexpr int POSITIONS = 256;
struct Position {
  unsigned long frames;
  double first, last;
};
Position positions[POSITIONS];
double started = 0, first_scene = -1;
int module_presents = 0;

double now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void write_log() {
  // Other programs started with the preload (timeout, helpers) present
  // nothing and must not overwrite qn's table.
  const char* path = std::getenv("QN_PRESENT_LOG");
  if (!path || module_presents == 0) return;
  std::FILE* f = std::fopen(path, "w");
  if (!f) return;
  std::fprintf(f, "startup_ms %.1f\n", first_scene < 0 ? -1.0 : (first_scene - started) * 1e3);
  for (int p = 0; p < POSITIONS; p++)
    if (positions[p].frames)
      std::fprintf(f, "%d %lu %.6f %.6f\n", p, positions[p].frames, positions[p].first - started,
                   positions[p].last - started);
  std::fclose(f);
}

__attribute__((constructor)) void counter_start() {
  started = now();
  std::atexit(write_log);
}
}  // namespace

extern "C" void SDL_UpdateRect(SDL_Surface* screen, int x, int y, unsigned w, unsigned h) {
  using Real = void (*)(SDL_Surface*, int, int, unsigned, unsigned);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "SDL_UpdateRect"));
  real(screen, x, y, w, h);
  // Before the music starts there is no module: that is the loading picture.
  // The first present with one is the screen clear, the next the first scene.
  const MODULE* module = Player_GetModule();
  if (!module) return;
  const double t = now();
  if (++module_presents == 2) first_scene = t;
  if (module_presents < 2) return;
  const int p = module->sngpos;
  if (p < 0 || p >= POSITIONS) return;
  Position& slot = positions[p];
  if (slot.frames++ == 0) slot.first = t;
  slot.last = t;
}
