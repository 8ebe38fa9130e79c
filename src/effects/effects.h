// Scene effects: whole-frame pixel operations, text overlays and the 2D
// effects that draw the scenes. Every effect writes all 76,800 pixels of the
// frame it is given and reads only what it is passed: the frames, pictures
// and the precalculated tables its caller owns.
#pragma once
#include <cstdint>

// ---- the tables the effects read --------------------------------------------
// Pixel offsets of the logo's colour copies, 10 entries each.
struct LogoOffsets {
  const std::int32_t* rows;
  const std::int32_t* cols;
};
// The coordinate maps of the tunnel pairs, 320x240 each.
struct TunnelMaps {
  const std::int32_t *v_a, *v_b, *v_c, *v_d;
  const std::int32_t *u_a, *u_b, *u_c, *u_d, *u_e;
};
// The floor rows below the horizon: 120 x 320 u, and 120 v and rise entries.
struct FloorMaps {
  const std::int32_t* u;
  const std::int32_t* v;
  const std::int32_t* rise;
};
struct PolarMaps {
  const std::int32_t* angle;
  const std::int32_t* depth;
};
// 360 points of a closed path; any index wraps onto it.
struct Path {
  const std::int32_t* x;
  const std::int32_t* y;
};
inline int path_wrap(std::int32_t index) { return ((index % 360) + 360) % 360; }
// Scene 0: the 256 sine offsets of the ripples and the blend's path.
struct WobbleTables {
  const std::int32_t* wobble;
  Path path;
};
// Scene 7: each image's path and the relief, 320x240 offsets.
struct BumpTables {
  Path first, second;
  const std::int32_t* dx;
  const std::int32_t* dy;
};

// ---- pixel operations -----------------------------------------------------
// Per channel min(c + level, 255); bits 24-31 become 0.
void brighten(std::uint32_t* frame, std::uint32_t level);
// Every pixel whose mask byte is > 10 becomes 0xFFFFFFFF.
void stamp_mask(std::uint32_t* dest, const std::uint8_t* mask);
// Overlay words equal to 0xFFFFFFFF replace the destination (scene 1).
void overlay_white(std::uint32_t* dest, const std::uint32_t* overlay);
// Overlay words that are not 0 replace the destination (scenes 0 and 3).
void overlay_nonzero(std::uint32_t* dest, const std::uint32_t* overlay);
// The colour-split logo of a mask with displacement index j (0..9): built in
// `layer` and laid over `dest`.
void rgb_split_logo(std::uint32_t* layer, std::uint32_t* dest, const std::uint8_t* mask,
                    const LogoOffsets& offsets, int j);

// ---- mapped texture effects -----------------------------------------------
// dest[i] = texture[((phase + v[i]) * 256 + (phase + u[i])) & 0xFFFF];
// v == nullptr means the pixel's own row.
void map_lookup(std::uint32_t* dest, const std::uint32_t* texture, const std::int32_t* v,
                const std::int32_t* u, std::int32_t phase);
// map_lookup through map pair 1..8 of the tunnel scenes; any other pair
// leaves the frame as it was.
void map_pair_lookup(std::uint32_t* dest, const TunnelMaps& maps, int pair,
                     const std::uint32_t* texture, std::int32_t phase);
// Scene 3: sky, the floor scrolled by phase, and (when landscape) the height
// field of `heights` scrolled by `scroll` rising from it.
void floor_landscape(std::uint32_t* dest, const FloorMaps& maps, const std::uint32_t* texture,
                     const std::uint8_t* heights, std::int32_t phase, std::int32_t scroll,
                     bool landscape);
// Scene 5: the polar tunnel plus the backdrop raised by whiteout.
void polar_tunnel(std::uint32_t* dest, const PolarMaps& maps, const std::uint32_t* texture,
                  const std::uint32_t* backdrop, std::int32_t phase, std::uint32_t whiteout);

// ---- moving images --------------------------------------------------------
// Scene 0: the scrolling tile into dest, the wobbled image rebuilt in
// wobble_img and blended at path index `path`.
void opening_background(std::uint32_t* dest, std::uint32_t* wobble_img, const WobbleTables& tables,
                        const std::uint32_t* image, const std::uint32_t* tile, std::int32_t scroll,
                        std::int32_t path);
// Scene 7: first image into `first` (cleared), second into `second` (never
// cleared here), then combined into `first`.
void twin_bump(std::uint32_t* first, std::uint32_t* second, const BumpTables& tables,
               const std::uint32_t* image, std::int32_t p, std::int32_t q, std::uint32_t lift);
