// Deterministic randomness for the generators: a fixed-seed PRNG and
// lattice noise that wraps with a chosen period, so that textures tile.
#pragma once
#include <cstdint>

// xorshift32 on an explicit state; never seeded from time or the system.
struct Rng {
  std::uint32_t state;
};
std::uint32_t rng_next(Rng& r);
float rng_unit(Rng& r);  // 0..1

// A hash of a lattice point and a seed to 0..1.
float lattice_value(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Smooth value noise, 0..1, with lattice cells `cell` texels wide; the lattice
// wraps every `period` texels (period a multiple of cell), so the noise tiles.
float noise_value(float x, float y, int cell, int period, std::uint32_t seed);

// Fractal sum of `octaves` layers of noise_value, cells halving each octave,
// amplitudes scaled by gain; normalised to 0..1. Tiles with `period`.
float noise_fractal(float x, float y, int cell, int octaves, float gain, int period,
                    std::uint32_t seed);

// Ridged variant: 1 - |2n - 1| per octave, sharp crests, smooth valleys.
float noise_ridged(float x, float y, int cell, int octaves, float gain, int period,
                   std::uint32_t seed);
