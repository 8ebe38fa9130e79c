// The frame every picture is drawn into: 320x240 words 0x00RRGGBB, rows top
// to bottom. Bits 24-31 are a covered-pixel mark, never a colour.
#pragma once
#include <cstdint>
#include <span>

constexpr int FRAME_WIDTH = 320;
constexpr int FRAME_HEIGHT = 240;
constexpr int FRAME_PIXELS = FRAME_WIDTH * FRAME_HEIGHT;  // 76,800
constexpr int FRAME_BYTES = FRAME_PIXELS * 4;             // 307,200

// A 256x256 texture, addressed ((v * 256) + u) & 0xFFFF.
constexpr int TEXTURE_SIZE = 256;
constexpr int TEXTURE_PIXELS = TEXTURE_SIZE * TEXTURE_SIZE;

// A whole frame as the raster draws into it.
using FrameSpan = std::span<std::uint32_t, FRAME_PIXELS>;
