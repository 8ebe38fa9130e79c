// Maps 4: the landscape's height map, 256x256 and tiling: ridged fractal
// mountains over rolling fractal hills, smoothed, then scaled to the range
// that lifts well above scene 3's floor (see the range below).
#include <cmath>

#include "art.h"
#include "noise.h"

namespace {
constexpr int T = 256;
// A byte h lifts the landscape where it exceeds the floor row's rise (0 at
// the horizon, 69 at the bottom): valleys at LOW stay flat near the viewer,
// peaks at HIGH climb well into the sky without filling it.
constexpr float LOW = 6, HIGH = 122;
}  // namespace

Mask map_height() {
  std::vector<float> f(static_cast<std::size_t>(T) * T);
  float lo = 1e9f, hi = -1e9f;
  for (int y = 0; y < T; y++)
    for (int x = 0; x < T; x++) {
      const float fx = static_cast<float>(x), fy = static_cast<float>(y);
      const float ridges = noise_ridged(fx, fy, 64, 5, 0.5f, T, 401);
      const float hills = noise_fractal(fx, fy, 128, 5, 0.5f, T, 403);
      const float v =
          hills * 0.55f + std::pow(ridges, 2.0f) * 0.45f * smoothstep(0.3f, 0.7f, hills);
      f[static_cast<std::size_t>(y) * T + x] = v;
      lo = std::min(lo, v), hi = std::max(hi, v);
    }
  Mask m = mask_make(T, T);
  for (std::size_t i = 0; i < f.size(); i++) {
    const float t = (f[i] - lo) / (hi - lo);
    m.pixels[i] = static_cast<std::uint8_t>(std::lround(LOW + (HIGH - LOW) * std::pow(t, 1.6f)));
  }
  return m;
}
