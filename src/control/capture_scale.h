// Whole-factor enlargement of captured frames: each source pixel becomes an
// n x n block, so a shared picture stays as sharp as the frame it came from.
#pragma once
#include <cstdint>
#include <span>

constexpr int CAPTURE_MAX_SCALE = 8;

// Fills `out` (width*n x height*n words) from `in` (width x height).
void capture_scale(std::span<const std::uint32_t> in, int width, int height, int n,
                   std::span<std::uint32_t> out);
