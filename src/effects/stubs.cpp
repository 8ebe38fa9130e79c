// STUB: replaced by pixel.cpp, map.cpp, wobble.cpp, bump.cpp.
#include "effects/effects.h"
void brighten(std::uint32_t*, std::uint32_t) {}
void stamp_mask(std::uint32_t*, const std::uint8_t*) {}
void overlay_white(std::uint32_t*, const std::uint32_t*) {}
void overlay_nonzero(std::uint32_t*, const std::uint32_t*) {}
void rgb_split_logo(std::uint32_t*, std::uint32_t*, const std::uint8_t*, int) {}
void map_lookup(std::uint32_t*, const std::uint32_t*, const std::int32_t*, const std::int32_t*, std::int32_t) {}
void map_pair_lookup(std::uint32_t*, int, const std::uint32_t*, std::int32_t) {}
void floor_landscape(std::uint32_t*, const std::uint32_t*, const std::uint8_t*, std::int32_t, std::int32_t, bool) {}
void polar_tunnel(std::uint32_t*, const std::uint32_t*, const std::uint32_t*, std::int32_t, std::uint32_t) {}
void opening_background(std::uint32_t*, std::uint32_t*, const std::uint32_t*, const std::uint32_t*, std::int32_t, std::int32_t) {}
void twin_bump(std::uint32_t*, std::uint32_t*, const std::uint32_t*, std::int32_t, std::int32_t, std::uint32_t) {}
