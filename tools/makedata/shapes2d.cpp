#include "shapes2d.h"

#include <algorithm>
#include <cmath>

Distance roundBox(double cx, double cy, double halfW, double halfH, double radius)
{
  return [=](double x, double y) {
    double qx = std::fabs(x - cx) - halfW + radius, qy = std::fabs(y - cy) - halfH + radius;
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
  };
}

Distance circle(double cx, double cy, double r)
{
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

Distance segment(double ax, double ay, double bx, double by, double width)
{
  return [=](double x, double y) {
    double dx = bx - ax, dy = by - ay;
    double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - ax - t * dx, y - ay - t * dy) - width / 2;
  };
}

Distance arc(double cx, double cy, double r, double w, double a0, double a1)
{
  return [=](double x, double y) {
    double a = std::atan2(cy - y, x - cx);
    while (a < a0) a += 2 * M_PI;
    if (a <= a1) return std::fabs(std::hypot(x - cx, y - cy) - r) - w / 2;
    double e0 = std::hypot(x - cx - r * std::cos(a0), y - cy + r * std::sin(a0));
    double e1 = std::hypot(x - cx - r * std::cos(a1), y - cy + r * std::sin(a1));
    return std::min(e0, e1) - w / 2;
  };
}

Distance triangle(double ax, double ay, double bx, double by, double cx, double cy)
{
  double px[3] = {ax, bx, cx}, py[3] = {ay, by, cy};
  double orient = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax) > 0 ? 1 : -1;
  return [=](double x, double y) {
    double d = -1e9;
    for (int i = 0; i < 3; ++i) {
      int j = (i + 1) % 3;
      double ex = px[j] - px[i], ey = py[j] - py[i];
      d = std::max(d, -orient * (ex * (y - py[i]) - ey * (x - px[i])) / std::hypot(ex, ey));
    }
    return d;
  };
}

Distance unite(Distance a, Distance b)
{
  return [=](double x, double y) { return std::min(a(x, y), b(x, y)); };
}

void fillWith(Picture& pic, const Distance& shape, const std::function<Rgb(double, double)>& paint)
{
  for (int y = 0; y < pic.height(); ++y)
    for (int x = 0; x < pic.width(); ++x) {
      double cover = std::clamp(0.5 - shape(x + 0.5, y + 0.5), 0.0, 1.0);
      if (cover > 0) pic.blend(x, y, paint(x + 0.5, y + 0.5), cover);
    }
}

void fill(Picture& pic, const Distance& shape, Rgb c, double opacity)
{
  for (int y = 0; y < pic.height(); ++y)
    for (int x = 0; x < pic.width(); ++x) {
      double cover = std::clamp(0.5 - shape(x + 0.5, y + 0.5), 0.0, 1.0) * opacity;
      if (cover > 0) pic.blend(x, y, c, cover);
    }
}
