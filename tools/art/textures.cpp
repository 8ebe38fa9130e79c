// The 256x256 textures. Every one tiles: noise lattices wrap every 256
// texels and every pattern repeats an exact number of times across the
// texture, with cell edges kept off the wrap edge.
#include <cmath>

#include "art.h"
#include "noise.h"

namespace {
constexpr int T = 256;
constexpr float pi = 3.14159265f;

float fbm(float x, float y, int cell, std::uint32_t seed, int octaves = 5) {
  return noise_fractal(x, y, cell, octaves, 0.55f, T, seed);
}

// Bevelled cell: 0 inside, rising to 1 at the edge, lit from the top-left
// (returns the light: +1 on upper-left edges, -1 on lower-right).
struct Cell {
  float u, v;  // position inside the cell, 0..size
  int cu, cv;  // which cell
};
Cell cell_at(float x, float y, float size, float offset) {
  const float fx = (x - offset) / size, fy = (y - offset) / size;
  const float ix = std::floor(fx), iy = std::floor(fy);
  return {(fx - ix) * size, (fy - iy) * size, static_cast<int>(ix), static_cast<int>(iy)};
}
float bevel_light(const Cell& c, float size, float width) {
  if (c.u < width && c.u <= c.v && c.u <= size - c.v) return 0.6f;
  if (c.v < width && c.v <= c.u && c.v <= size - c.u) return 0.9f;
  if (size - c.u < width && size - c.u <= c.v && size - c.u <= size - c.v) return -0.5f;
  if (size - c.v < width) return -0.8f;
  return 0;
}
std::uint32_t cell_seed(int cu, int cv, int cells) {
  const int a = (cu % cells + cells) % cells, b = (cv % cells + cells) % cells;
  return static_cast<std::uint32_t>(a * 131 + b * 7919);
}
}  // namespace

// Text 0: a glowing emblem on black, laid additively over the tile. All of
// it lies inside radius 100, so the wobble's wrap-around never shows edges.
Picture texture_emblem() {
  return picture_fill(T, T, [](int x, int y) {
    const float dx = static_cast<float>(x) - 127.5f, dy = static_cast<float>(y) - 127.5f;
    const float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
    const float ring = std::exp(-std::pow((r - 72) / 6.0f, 2.0f)) +
                       0.6f * std::exp(-std::pow((r - 52) / 3.0f, 2.0f));
    const float rays =
        std::pow(std::fabs(std::cos(4 * a)), 12.0f) * smoothstep(96, 20, r) +
        0.5f * std::pow(std::fabs(std::cos(4 * a + pi / 4)), 20.0f) * smoothstep(70, 10, r);
    const float core = std::exp(-r * r / 500.0f);
    const float plasma = 0.5f + 0.25f * std::sin(static_cast<float>(x) / 9.0f) +
                         0.25f * std::sin((static_cast<float>(y) + r) / 13.0f);
    const float lumps = fbm(static_cast<float>(x), static_cast<float>(y), 16, 21, 4);
    const float energy = (ring * (0.6f + 0.6f * lumps) + rays + core) * smoothstep(104, 92, r);
    const Rgb hot = palette_cos(plasma + r / 160.0f, {0.6f, 0.5f, 0.5f}, {0.4f, 0.4f, 0.5f},
                                {1, 1, 1}, {0.0f, 0.15f, 0.30f});
    return rgb_mix(hot * energy, Rgb{1, 1, 1}, std::clamp(core - 0.4f, 0.0f, 0.6f));
  });
}

// Text 1: the opening's background tile: dark stone slabs with bevels.
Picture texture_tile() {
  return picture_fill(T, T, [](int x, int y) {
    const Cell c = cell_at(static_cast<float>(x), static_cast<float>(y), 32, 16);
    const float grain = fbm(static_cast<float>(x), static_cast<float>(y), 32, 31);
    const float tint = lattice_value(c.cu & 7, c.cv & 7, 33);
    const Rgb base = rgb_mix(Rgb{0.05f, 0.06f, 0.16f}, Rgb{0.14f, 0.08f, 0.22f}, tint);
    const float light = bevel_light(c, 32, 3);
    const float speck = fbm(static_cast<float>(x), static_cast<float>(y), 4, 37, 2);
    Rgb col = base * (0.7f + 0.6f * grain) + Rgb{0.05f, 0.05f, 0.09f} * light +
              Rgb{0.03f, 0.03f, 0.05f} * speck;
    if (grid_distance(static_cast<float>(x), 32, 16) < 0.6f ||
        grid_distance(static_cast<float>(y), 32, 16) < 0.6f)
      col = col * 0.4f;
    return col;
  });
}

// Text 2: the warped plane: strong checks, each with a bevel and a chip of
// circuitry, in mid tones so white text still reads over it.
Picture texture_checks() {
  return picture_fill(T, T, [](int x, int y) {
    const Cell c = cell_at(static_cast<float>(x), static_cast<float>(y), 32, 16);
    const bool odd = ((c.cu + c.cv) & 1) != 0;
    const float n = fbm(static_cast<float>(x), static_cast<float>(y), 16, 41, 4);
    Rgb col = odd ? Rgb{0.85f, 0.30f, 0.05f} : Rgb{0.06f, 0.10f, 0.40f};
    col = col * (0.8f + 0.35f * n);
    const float light = bevel_light(c, 32, 3);
    col = col + Rgb{0.15f, 0.15f, 0.18f} * light;
    // A square pad with a ring in the middle of every cell, traces to the edges.
    const float du = std::fabs(c.u - 16), dv = std::fabs(c.v - 16);
    const float ring = std::fabs(std::sqrt(du * du + dv * dv) - 7);
    const bool trace = (du < 1.2f && c.v > 20) || (dv < 1.2f && c.u < 12);
    if (ring < 1.5f || trace) col = odd ? Rgb{0.25f, 0.06f, 0.02f} : Rgb{0.30f, 0.75f, 0.85f};
    if (std::max(du, dv) < 3) col = Rgb{0.95f, 0.85f, 0.30f};
    return col;
  });
}

// Text 3: the tunnels: riveted metal panels with seams, vents and a light
// strip round the tunnel every other panel row (v runs along the tunnel).
Picture texture_panels() {
  return picture_fill(T, T, [](int x, int y) {
    const Cell c = cell_at(static_cast<float>(x), static_cast<float>(y), 64, 32);
    const std::uint32_t s = cell_seed(c.cu, c.cv, 4);
    // Few fine octaves: the tunnels squeeze the texture far away, where fine
    // noise would sparkle.
    const float grime = fbm(static_cast<float>(x), static_cast<float>(y), 32, 51, 3);
    const float scratches = fbm(static_cast<float>(x), static_cast<float>(y), 8, 53, 1);
    const float shade = 0.75f + 0.25f * lattice_value(static_cast<int>(s), 1, 55);
    Rgb col = Rgb{0.42f, 0.45f, 0.52f} * (shade * (0.6f + 0.5f * grime)) +
              Rgb{0.05f, 0.05f, 0.05f} * scratches;
    col = col + Rgb{0.22f, 0.22f, 0.25f} * bevel_light(c, 64, 4);
    if (c.u < 1 || c.v < 1) col = Rgb{0.03f, 0.03f, 0.04f};
    // Rivets: small lit domes near the corners.
    for (float ru : {7.0f, 57.0f})
      for (float rv : {7.0f, 57.0f}) {
        const float d = std::hypot(c.u - ru, c.v - rv);
        if (d < 3.2f)
          col = Rgb{0.8f, 0.8f, 0.85f} * (1.0f - 0.22f * d) +
                Rgb{0.1f, 0.1f, 0.1f} * ((rv - c.v) / 3);
        else if (d < 4.2f)
          col = col * 0.5f;
      }
    // Vents on some panels: dark slots.
    if ((s % 3) == 0 && c.u > 16 && c.u < 48 && c.v > 18 && c.v < 46 && std::fmod(c.v, 6.0f) < 3)
      col = Rgb{0.05f, 0.05f, 0.07f};
    // Light strip across every other panel row.
    if ((c.cv & 1) == 0) {
      const float d = std::fabs(c.v - 32);
      const float glow = std::exp(-d * d / 18.0f);
      col = col * (1 - 0.7f * glow) + Rgb{0.3f, 0.9f, 1.0f} * glow;
    }
    return col;
  });
}

// Text 4: floor and polar tunnel: rails along v (the flight direction), lit
// sleepers across it, over mossy ground; lamps where rails cross sleepers.
Picture texture_tracks() {
  return picture_fill(T, T, [](int x, int y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float ground = fbm(fx, fy, 32, 61);
    const float fine = fbm(fx, fy, 8, 63, 3);
    Rgb col =
        rgb_mix(Rgb{0.05f, 0.18f, 0.12f}, Rgb{0.25f, 0.35f, 0.10f}, ground) * (0.7f + 0.5f * fine);
    const float du = grid_distance(fx, 64, 32), dv = grid_distance(fy, 32, 16);
    if (dv < 4)
      col = rgb_mix(col, Rgb{0.35f, 0.22f, 0.12f} * (0.8f + 0.4f * fine), smoothstep(4, 2.5f, dv));
    const float rail = std::min(std::fabs(du - 10), std::fabs(du - 22));
    if (rail < 2.5f) col = Rgb{0.75f, 0.78f, 0.85f} * (1 - 0.15f * rail) * (0.85f + 0.3f * fine);
    const float lamp = std::hypot(du - 16, dv);
    col = col + Rgb{1.0f, 0.55f, 0.15f} * std::exp(-lamp * lamp / 10.0f);
    const float centre = grid_distance(fx, 64, 0);
    if (centre < 1.5f && std::fmod(fy, 16.0f) < 8) col = rgb_mix(col, Rgb{0.9f, 0.9f, 0.3f}, 0.8f);
    return col;
  });
}

// Text 9: seen through the glass: a bright swirl of marbled colour with
// bubbles, domain-warped noise through a rainbow palette.
Picture texture_glass_view() {
  return picture_fill(T, T, [](int x, int y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float wx = fx + 40 * (fbm(fx, fy, 64, 91) - 0.5f);
    const float wy = fy + 40 * (fbm(fx, fy, 64, 93) - 0.5f);
    const float t = fbm(wx, wy, 64, 95, 6);
    // Two copies are added on screen: keep each to half brightness so the
    // sum stays coloured and white text still reads over it.
    Rgb col = palette_cos(2.2f * t, {0.28f, 0.28f, 0.28f}, {0.26f, 0.26f, 0.26f}, {1, 1, 1},
                          {0.0f, 0.33f, 0.67f});
    const Cell c = cell_at(fx, fy, 64, 0);
    const float r = 8 + 10 * lattice_value(c.cu & 3, c.cv & 3, 97);
    const float d = std::hypot(c.u - 32, c.v - 32);
    if (d < r) {
      const float hl =
          std::exp(-std::pow(std::hypot(c.u - 32 + r / 3, c.v - 32 + r / 3) / (r / 3), 2.0f));
      col = rgb_mix(col, Rgb{0.6f, 0.6f, 0.65f}, 0.2f + 0.6f * hl);
    } else if (d < r + 1.5f) {
      col = col * 0.3f;
    }
    return col;
  });
}

// Text 5 and 6 are never shown; they stay as small valid 16x16 spares.
Picture texture_spare(int index) {
  return picture_fill(16, 16, [index](int x, int y) {
    return ((x ^ y ^ index) & 1) ? Rgb{0.5f, 0.5f, 0.5f} : Rgb{0.2f, 0.2f, 0.2f};
  });
}
