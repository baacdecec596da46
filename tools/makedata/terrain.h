// Terrain tiles: diamonds 2k wide and k high whose textures repeat on the map grid, so
// that neighbouring tiles of one kind join without a visible edge.
#pragma once
#include "picture.h"

constexpr int kTileK = 42;  // tile constant of a 1024-pixel screen at zoom 8

int terrainCount();
const char* terrainName(int kind);
// The tile picture of a kind (2 kTileK x kTileK, transparent outside the diamond).
Picture terrainTile(int kind);
// The colour of a kind at lattice position (a, b), in tile units, before lighting;
// `height` receives the relief used for shading.
Rgb terrainSurface(int kind, double a, double b, double& height);
