// Images as the generators build them: plain row-major pixels with their size.
// A Picture holds 0x00RRGGBB words, a Mask one byte a pixel (above 10 is lit).
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
};

struct Mask {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};

inline Picture picture_make(int w, int h) {
  return {w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
}
inline Mask mask_make(int w, int h) {
  return {w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h)};
}

// Colours in floating point while a picture is composed, 0..1 a channel.
struct Rgb {
  float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb rgb_mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }

inline std::uint32_t channel_byte(float c) {
  const float v = std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f;
  return static_cast<std::uint32_t>(v);  // v is within 0.5..255.5 here
}
inline std::uint32_t rgb_word(Rgb c) {
  return channel_byte(c.r) << 16 | channel_byte(c.g) << 8 | channel_byte(c.b);
}
inline Rgb rgb_hex(std::uint32_t w) {
  return {static_cast<float>((w >> 16) & 255) / 255.0f, static_cast<float>((w >> 8) & 255) / 255.0f,
          static_cast<float>(w & 255) / 255.0f};
}

// A colour ramp of evenly spaced stops, looked up at t in 0..1 (clamped).
template <std::size_t N>
Rgb ramp(const Rgb (&stops)[N], float t) {
  const float x = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(N - 1);
  const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(x), N - 2);
  return rgb_mix(stops[i], stops[i + 1], x - static_cast<float>(i));
}

inline float smoothstep(float e0, float e1, float x) {
  const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// Every pixel from f(x, y) -> Rgb.
template <typename F>
Picture picture_fill(int w, int h, F f) {
  Picture p = picture_make(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) p.pixels[static_cast<std::size_t>(y) * w + x] = rgb_word(f(x, y));
  return p;
}

// The cosine palette a + b cos(2 pi (c t + d)), channel by channel.
inline Rgb palette_cos(float t, Rgb a, Rgb b, Rgb c, Rgb d) {
  constexpr float tau = 6.2831853f;
  return {a.r + b.r * std::cos(tau * (c.r * t + d.r)), a.g + b.g * std::cos(tau * (c.g * t + d.g)),
          a.b + b.b * std::cos(tau * (c.b * t + d.b))};
}

// Distance to the nearest multiple of `period` plus `offset`, 0..period/2.
inline float grid_distance(float v, float period, float offset = 0) {
  const float m = std::fmod(v - offset, period);
  const float w = m < 0 ? m + period : m;
  return std::min(w, period - w);
}
