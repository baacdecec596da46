// Deterministic noise for procedural textures: every value depends only on its
// arguments and the seed, so the generated art is the same on every run.
#pragma once
#include <cstdint>

// Hash of integer coordinates to 0..1.
double hashUnit(int32_t x, int32_t y, uint32_t seed);
// Smooth value noise in 0..1 over (u, v), repeating every `period` units on both axes.
double periodicNoise(double u, double v, int period, uint32_t seed);
// Sum of octaves of periodicNoise (periods base, 2 base, ...), normalised to 0..1.
double fractalNoise(double u, double v, int basePeriod, int octaves, uint32_t seed);
