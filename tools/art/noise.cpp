#include "noise.h"

#include <cmath>

std::uint32_t rng_next(Rng& r) {
  std::uint32_t x = r.state ? r.state : 0x9E3779B9u;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  r.state = x;
  return x;
}

float rng_unit(Rng& r) {
  return static_cast<float>(rng_next(r) >> 8) / static_cast<float>(1 << 24);
}

float lattice_value(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                    static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<float>(h >> 8) / static_cast<float>(1 << 24);
}

namespace {
int wrap(int v, int n) {
  const int m = v % n;
  return m < 0 ? m + n : m;
}
float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }
}  // namespace

float noise_value(float x, float y, int cell, int period, std::uint32_t seed) {
  const int cells = period / cell;
  const float fx = x / static_cast<float>(cell), fy = y / static_cast<float>(cell);
  const float x0f = std::floor(fx), y0f = std::floor(fy);
  const int x0 = static_cast<int>(x0f), y0 = static_cast<int>(y0f);
  const float tx = fade(fx - x0f), ty = fade(fy - y0f);
  const int xa = wrap(x0, cells), xb = wrap(x0 + 1, cells);
  const int ya = wrap(y0, cells), yb = wrap(y0 + 1, cells);
  const float a = lattice_value(xa, ya, seed), b = lattice_value(xb, ya, seed);
  const float c = lattice_value(xa, yb, seed), d = lattice_value(xb, yb, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

namespace {
template <typename Layer>
float fractal(float x, float y, int cell, int octaves, float gain, std::uint32_t seed,
              Layer layer) {
  float sum = 0, amp = 1, total = 0;
  for (int o = 0; o < octaves && cell >= 1; o++, cell /= 2, amp *= gain) {
    sum += amp * layer(x, y, cell, seed + 101u * static_cast<std::uint32_t>(o));
    total += amp;
  }
  return total > 0 ? sum / total : 0;
}
}  // namespace

float noise_fractal(float x, float y, int cell, int octaves, float gain, int period,
                    std::uint32_t seed) {
  return fractal(x, y, cell, octaves, gain, seed,
                 [period](float px, float py, int c, std::uint32_t s) {
                   return noise_value(px, py, c, period, s);
                 });
}

float noise_ridged(float x, float y, int cell, int octaves, float gain, int period,
                   std::uint32_t seed) {
  return fractal(x, y, cell, octaves, gain, seed,
                 [period](float px, float py, int c, std::uint32_t s) {
                   return 1 - std::fabs(2 * noise_value(px, py, c, period, s) - 1);
                 });
}
