// Scene effects: whole-frame pixel operations, text overlays and the 2D
// effects that draw the scenes. Every effect writes all 76,800 pixels of the
// frame it is given and reads the precalculated tables (control/tables.h).
#pragma once
#include <cstdint>

// ---- pixel operations -----------------------------------------------------
// Per channel min(c + level, 255); bits 24-31 become 0.
void brighten(std::uint32_t* frame, std::uint32_t level);

// Per channel min(a + b, 255); bits 24-31 of the result are 0.
inline std::uint32_t add_saturate(std::uint32_t a, std::uint32_t b) {
  std::uint32_t r = ((a >> 16) & 0xFF) + ((b >> 16) & 0xFF);
  std::uint32_t g = ((a >> 8) & 0xFF) + ((b >> 8) & 0xFF);
  std::uint32_t bl = (a & 0xFF) + (b & 0xFF);
  r = r > 255 ? 255 : r;
  g = g > 255 ? 255 : g;
  bl = bl > 255 ? 255 : bl;
  return (r << 16) | (g << 8) | bl;
}
// Per channel min(a + b + level, 255), clamped once.
inline std::uint32_t add_saturate3(std::uint32_t a, std::uint32_t b, std::uint32_t level) {
  std::uint32_t r = ((a >> 16) & 0xFF) + ((b >> 16) & 0xFF) + level;
  std::uint32_t g = ((a >> 8) & 0xFF) + ((b >> 8) & 0xFF) + level;
  std::uint32_t bl = (a & 0xFF) + (b & 0xFF) + level;
  r = r > 255 ? 255 : r;
  g = g > 255 ? 255 : g;
  bl = bl > 255 ? 255 : bl;
  return (r << 16) | (g << 8) | bl;
}

// Every pixel whose mask byte is > 10 becomes 0xFFFFFFFF.
void stamp_mask(std::uint32_t* dest, const std::uint8_t* mask);
// Overlay words equal to 0xFFFFFFFF replace the destination (scene 1).
void overlay_white(std::uint32_t* dest, const std::uint32_t* overlay);
// Overlay words that are not 0 replace the destination (scenes 0 and 3).
void overlay_nonzero(std::uint32_t* dest, const std::uint32_t* overlay);
// The colour-split logo of a mask with displacement index j (0..9): built in
// `layer` (work_frame) and laid over `dest` (second_frame).
void rgb_split_logo(std::uint32_t* layer, std::uint32_t* dest, const std::uint8_t* mask, int j);

// ---- mapped texture effects -----------------------------------------------
// dest[i] = texture[((phase + v[i]) * 256 + (phase + u[i])) & 0xFFFF];
// v == nullptr means the pixel's own row.
void map_lookup(std::uint32_t* dest, const std::uint32_t* texture, const std::int32_t* v,
                const std::int32_t* u, std::int32_t phase);
// map_lookup through map pair 1..8 of the tunnel scenes.
void map_pair_lookup(std::uint32_t* dest, int pair, const std::uint32_t* texture,
                     std::int32_t phase);
// Scene 3: sky, the floor scrolled by phase, and (when landscape) the height
// field of `heights` scrolled by `scroll` rising from it.
void floor_landscape(std::uint32_t* dest, const std::uint32_t* texture,
                     const std::uint8_t* heights, std::int32_t phase, std::int32_t scroll,
                     bool landscape);
// Scene 5: the polar tunnel plus the backdrop raised by whiteout.
void polar_tunnel(std::uint32_t* dest, const std::uint32_t* texture, const std::uint32_t* backdrop,
                  std::int32_t phase, std::uint32_t whiteout);

// ---- moving images --------------------------------------------------------
// Scene 0: the scrolling tile into dest (second_frame), the wobbled image
// rebuilt in wobble_img and blended at path index `path`.
void opening_background(std::uint32_t* dest, std::uint32_t* wobble_img, const std::uint32_t* image,
                        const std::uint32_t* tile, std::int32_t scroll, std::int32_t path);
// Scene 7: first image into `first` (work_frame, cleared), second into
// `second` (second_frame, never cleared here), then combined into `first`.
void twin_bump(std::uint32_t* first, std::uint32_t* second, const std::uint32_t* image,
               std::int32_t p, std::int32_t q, std::uint32_t lift);
