// The 320x240 pictures: scene 5's backdrop, scene 7's relief and the
// closing picture. They are shown whole, so they need not tile.
#include <cmath>

#include "art.h"
#include "font.h"
#include "noise.h"

namespace {
constexpr int W = 320, H = 240;

// A few hundred stars of random brightness, on a black picture's words.
void scatter_stars(std::vector<float>& light, std::uint32_t seed, int count) {
  Rng rng{seed};
  for (int i = 0; i < count; i++) {
    const int x = static_cast<int>(rng_next(rng) % W), y = static_cast<int>(rng_next(rng) % H);
    const float b = 0.2f + 0.8f * rng_unit(rng) * rng_unit(rng);
    light[static_cast<std::size_t>(y) * W + x] += b;
    if (b > 0.7f)
      for (int d : {-1, 1}) {
        if (x + d >= 0 && x + d < W) light[static_cast<std::size_t>(y) * W + x + d] += b * 0.35f;
        if (y + d >= 0 && y + d < H) light[static_cast<std::size_t>(y + d) * W + x] += b * 0.35f;
      }
  }
}

// Repeated box blur of a float field (three passes approximate a Gaussian).
void blur(std::vector<float>& f, int w, int h, int radius, int passes) {
  std::vector<float> tmp(f.size());
  for (int p = 0; p < passes; p++) {
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        float s = 0;
        for (int d = -radius; d <= radius; d++)
          s += f[static_cast<std::size_t>(y) * w + std::clamp(x + d, 0, w - 1)];
        tmp[static_cast<std::size_t>(y) * w + x] = s / static_cast<float>(2 * radius + 1);
      }
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        float s = 0;
        for (int d = -radius; d <= radius; d++)
          s += tmp[static_cast<std::size_t>(std::clamp(y + d, 0, h - 1)) * w + x];
        f[static_cast<std::size_t>(y) * w + x] = s / static_cast<float>(2 * radius + 1);
      }
  }
}

std::vector<float> mask_field(const Mask& m) {
  std::vector<float> f(m.pixels.size());
  for (std::size_t i = 0; i < f.size(); i++) f[i] = m.pixels[i] > 10 ? 1.0f : 0.0f;
  return f;
}
}  // namespace

// Text 7: a dim ringed planet before a nebula. It is added onto the tunnel,
// so it stays dark (no channel above about 0.45) and leaves the middle calm.
Picture picture_planet() {
  std::vector<float> stars(static_cast<std::size_t>(W) * H);
  scatter_stars(stars, 701, 420);
  const float px = 236, py = 72, pr = 58;
  return picture_fill(W, H, [&](int x, int y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float neb = noise_fractal(fx, fy, 64, 6, 0.55f, 512, 703);
    const float wisps = noise_ridged(fx, fy, 64, 5, 0.5f, 512, 705);
    const float band = smoothstep(0.45f, 0.85f, neb) * (0.4f + 0.6f * wisps);
    Rgb col = Rgb{0.22f, 0.05f, 0.28f} * band +
              Rgb{0.02f, 0.10f, 0.22f} * smoothstep(0.3f, 0.7f, wisps) * neb;
    col = col + Rgb{0.6f, 0.6f, 0.7f} * stars[static_cast<std::size_t>(y) * W + x] * (1 - band);
    const float dx = (fx - px) / pr, dy = (fy - py) / pr, d2 = dx * dx + dy * dy;
    if (d2 < 1) {
      const float z = std::sqrt(1 - d2);
      const float light = std::max(0.0f, -0.6f * dx - 0.5f * dy + 0.62f * z);
      const float bands =
          noise_fractal(fx * 0.3f, fy * 3.0f + 9 * std::sin(dx * 3), 16, 4, 0.5f, 512, 707);
      const Rgb surface = rgb_mix(Rgb{0.45f, 0.28f, 0.18f}, Rgb{0.30f, 0.38f, 0.50f}, bands);
      col = surface * (0.06f + 0.9f * light);
    }
    // Atmosphere rim and a tilted ring.
    const float rim = std::sqrt(d2);
    if (rim >= 1) col = col + Rgb{0.10f, 0.20f, 0.40f} * std::exp(-(rim - 1) * 18);
    const float rx = (fx - px) / (pr * 1.9f), ry = ((fy - py) - 0.35f * (fx - px)) / (pr * 0.45f);
    const float rd = std::sqrt(rx * rx + ry * ry);
    const bool behind = d2 < 1 && ry < 0;
    if (rd > 0.72f && rd < 1.0f && !behind) {
      const float ringlight = 0.25f + 0.15f * std::sin(rd * 60);
      col = rgb_mix(col, Rgb{0.42f, 0.36f, 0.28f} * ringlight * 1.6f, 0.7f);
    }
    return col;
  });
}

// Text 8: scene 7's relief, read from the blue channel as height: a wall of
// pillowed glass bricks with the group's name pressed into it, every slope
// blurred smooth so the distortion reads as glass. Tinted blue-grey; only
// the blue channel counts.
Picture picture_relief() {
  Mask letters = mask_make(W, H);
  text_block(letters, {{"ZORV", 120}}, W / 2, H / 2);
  std::vector<float> name = mask_field(letters);
  blur(name, W, H, 3, 3);
  std::vector<float> h(static_cast<std::size_t>(W) * H);
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const float cu = std::fmod(static_cast<float>(x), 40.0f) - 19.5f,
                  cv = std::fmod(static_cast<float>(y), 40.0f) - 19.5f;
      const float e = std::pow(std::fabs(cu) / 20, 4.0f) + std::pow(std::fabs(cv) / 20, 4.0f);
      const float pillow = std::cos(std::min(e, 1.0f) * 1.5707963f);
      h[static_cast<std::size_t>(y) * W + x] =
          0.12f + 0.45f * pillow + 0.40f * name[static_cast<std::size_t>(y) * W + x];
    }
  // Smooth every slope: the offsets are differences of neighbouring heights.
  blur(h, W, H, 3, 3);
  return picture_fill(W, H, [&](int x, int y) {
    const float v = h[static_cast<std::size_t>(y) * W + x];
    return Rgb{v * 0.7f, v * 0.85f, v};
  });
}

std::string_view art_closing_words() { return "QUILLION\nthanks for watching"; }

Mask art_closing_mask() {
  Mask m = mask_make(W, H);
  text_block(m, {{"QUILLION", 56}}, W / 2, 92);
  text_block(m, {{"thanks for watching", 24}}, W / 2, 160);
  return m;
}

// Text 10: the closing picture: the title and a closing line in white with a
// coloured glow, over a night sky that brightens towards a planet's horizon.
Picture picture_closing() {
  const Mask words = art_closing_mask();
  std::vector<float> glow = mask_field(words);
  blur(glow, W, H, 4, 3);
  std::vector<float> stars(static_cast<std::size_t>(W) * H);
  scatter_stars(stars, 1001, 300);
  return picture_fill(W, H, [&](int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * W + x;
    if (words.pixels[i]) return Rgb{1, 1, 1};
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float horizon_r = 900, hx = 160, hy = 240 + 860;  // a huge planet below the frame
    const float d = std::hypot(fx - hx, fy - hy) - horizon_r;
    const float haze = noise_fractal(fx, fy, 32, 5, 0.5f, 512, 1003);
    Rgb col = Rgb{0.03f, 0.02f, 0.09f} * (0.5f + haze) + Rgb{0.5f, 0.5f, 0.6f} * stars[i];
    if (d < 0)
      col = Rgb{0.02f, 0.03f, 0.06f} * (0.5f + haze) +
            Rgb{0.05f, 0.08f, 0.12f} * haze * std::exp(d / 30);
    else
      col = col + Rgb{0.9f, 0.45f, 0.2f} * std::exp(-d / 10) +
            Rgb{0.2f, 0.25f, 0.6f} * std::exp(-d / 45);
    return col + Rgb{0.25f, 0.55f, 1.0f} * std::min(1.0f, 2.2f * glow[i]);
  });
}
