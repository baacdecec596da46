// Traces a scene into a picture in the game's isometric projection.
#pragma once
#include "picture.h"
#include "scene.h"

struct View {
  double k;        // tile constant: a tile is 2k pixels wide and k high
  double originX;  // picture position of the map point (0, 0, 0)
  double originY;
};

// Renders with samples x samples rays per pixel; alpha is the covered fraction.
Picture renderScene(const Scene& scene, int w, int h, View view, int samples);

// The view that places a footprint of dx x dy cells and height dz cells exactly in a
// picture of (dx + dy) k by (dx + dy) k / 2 + dz k pixels, as the map view draws it.
View footprintView(double k, int dx, int dz);
