#include "render.h"

namespace {
Ray viewRay(View v, double px, double py)
{
  double sx = (px - v.originX) / v.k, sy = (py - v.originY) / v.k;
  Vec3 ground = {sy - sx / 2, sy + sx / 2, 0};
  const double lift = 12;
  return {ground + Vec3{lift, lift, lift}, normalize({-1, -1, -1})};
}

// Colour of the first surface along the ray, lit and shadowed; false when nothing is hit.
bool shadeRay(const Scene& scene, const Ray& ray, Rgb& out)
{
  Hit hit;
  if (!scene.trace(ray, 1e-6, hit)) return false;
  Vec3 p = ray.origin + ray.dir * hit.t;
  Rgb surface = surfaceColour(*hit.material, p, hit.normal);
  if (hit.material->pattern == Pattern::Glow) {
    out = surface;
    return true;
  }
  Hit blocker;
  bool shadowed = scene.trace({p + hit.normal * 1e-4, lightDirection()}, 1e-6, blocker);
  out = surface * lightLevel(hit.normal, shadowed);
  return true;
}
}  // namespace

Picture renderScene(const Scene& scene, int w, int h, View view, int samples)
{
  Picture pic(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Rgb sum;
      int hits = 0;
      for (int j = 0; j < samples; ++j)
        for (int i = 0; i < samples; ++i) {
          Rgb c;
          if (shadeRay(scene, viewRay(view, x + (i + 0.5) / samples, y + (j + 0.5) / samples), c)) {
            sum = sum + c;
            ++hits;
          }
        }
      if (hits) pic.set(x, y, sum * (1.0 / hits), double(hits) / (samples * samples));
    }
  }
  return pic;
}

View footprintView(double k, int dx, int dz) { return {k, dx * k, dz * k}; }
