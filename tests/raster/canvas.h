// A frame and z-buffer for the fillers to draw into.
#pragma once
#include <cstdint>
#include <vector>

#include "common/frame.h"
#include "engine/engine.h"
#include "raster/raster.h"

constexpr std::uint32_t BACKGROUND = 0xDEADBEEF;

struct Canvas {
  std::vector<std::uint32_t> target = std::vector<std::uint32_t>(FRAME_PIXELS, BACKGROUND);
  std::vector<std::int32_t> depth = std::vector<std::int32_t>(FRAME_PIXELS, ZBUFFER_EMPTY);

  RasterTarget raster() {
    return {FrameSpan(target.data(), FRAME_PIXELS), DepthSpan(depth.data(), FRAME_PIXELS)};
  }
  std::uint32_t at(int x, int y) const { return target[y * FRAME_WIDTH + x]; }
  std::int32_t z(int x, int y) const { return depth[y * FRAME_WIDTH + x]; }
  bool drawn(int x, int y) const { return at(x, y) != BACKGROUND; }
  bool row_drawn(int y) const {
    for (int x = 0; x < FRAME_WIDTH; ++x)
      if (drawn(x, y)) return true;
    return false;
  }
  int first_drawn(int y) const {
    for (int x = 0; x < FRAME_WIDTH; ++x)
      if (drawn(x, y)) return x;
    return -1;
  }
  int last_drawn(int y) const {
    for (int x = FRAME_WIDTH - 1; x >= 0; --x)
      if (drawn(x, y)) return x;
    return -1;
  }
  bool empty() const {
    for (std::uint32_t p : target)
      if (p != BACKGROUND) return false;
    return true;
  }
  bool operator==(const Canvas& o) const { return target == o.target && depth == o.depth; }
};

// Shade i is 0x1000 + i, so a pixel tells the intensity index it was drawn with.
struct TestShades {
  std::uint32_t shades[256];
  TestShades() {
    for (int i = 0; i < 256; ++i) shades[i] = 0x1000u + static_cast<std::uint32_t>(i);
  }
};
