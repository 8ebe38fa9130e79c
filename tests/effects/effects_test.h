// Shared helpers of the effect tests: random pictures and a plain
// per-channel saturating sum.
#pragma once
#include <algorithm>
#include <random>
#include <vector>

#include "../control/test_archive.h"
#include "effects/channels.h"
#include "effects/effects.h"

using Frame = std::vector<std::uint32_t>;

inline Frame random_frame(std::uint32_t seed, std::uint32_t bits = 0x00FFFFFFu) {
  std::mt19937 rng(seed);
  Frame f(FRAME_PIXELS);
  for (auto& w : f) w = rng() & bits;
  return f;
}
inline std::uint32_t naive_add(std::uint32_t a, std::uint32_t b, std::uint32_t level = 0) {
  std::uint32_t out = 0;
  for (int s : {0, 8, 16})
    out |= std::min<std::uint32_t>(((a >> s) & 255) + ((b >> s) & 255) + level, 255) << s;
  return out;
}
// A texel at any 64-bit index, masked as the effects mask theirs.
inline std::uint32_t texel(const Frame& t, long long index) {
  return t[static_cast<std::size_t>(index & 0xFFFF)];
}
