#include "world/pointutil.h"

#include "world/host.h"

cPoint::cPoint(double px, double py) : x(static_cast<int>(px)), y(static_cast<int>(py)) {}

cPoint& cPoint::operator+=(const cPoint& p)
{
  x += p.x;
  y += p.y;
  return *this;
}

cPoint& cPoint::operator-=(const cPoint& p)
{
  x -= p.x;
  y -= p.y;
  return *this;
}

cPoint& cPoint::operator*=(double f)
{
  x = static_cast<int>(x * f);
  y = static_cast<int>(y * f);
  return *this;
}

cPoint operator+(const cPoint& a, const cPoint& b) { return cPoint(a.x + b.x, a.y + b.y); }
cPoint operator-(const cPoint& a, const cPoint& b) { return cPoint(a.x - b.x, a.y - b.y); }
cPoint operator-(const cPoint& a) { return cPoint(-a.x, -a.y); }
cPoint operator*(const cPoint& p, int n) { return cPoint(p.x * n, p.y * n); }
cPoint operator/(const cPoint& p, int n) { return cPoint(p.x / n, p.y / n); }
cPoint operator/(const cPoint& p, double d) { return cPoint(p.x / d, p.y / d); }
bool operator==(const cPoint& a, const cPoint& b) { return a.x == b.x && a.y == b.y; }
bool operator!=(const cPoint& a, const cPoint& b) { return !(a == b); }

void cRect::offset(int dx, int dy)
{
  topLeft += cPoint(dx, dy);
  bottomRight += cPoint(dx, dy);
}

void cRect::inset(int dx, int dy)
{
  topLeft += cPoint(dx, dy);
  bottomRight -= cPoint(dx, dy);
  if (isEmpty()) empty();
}

void cRect::empty()
{
  topLeft = cPoint();
  bottomRight = cPoint();
}

bool cRect::isEmpty() const { return bottom() <= top() || right() <= left(); }

bool cRect::includes(const cPoint& p) const
{
  return left() <= p.x && p.x < right() && top() <= p.y && p.y < bottom();
}

namespace {
// One axis of intersect(): this span starts strictly inside the other, or the other
// starts strictly inside this one.
bool overlapsStrictly(int start, int end, int otherStart, int otherEnd)
{
  return (start > otherStart && start < otherEnd) || (start < otherStart && end > otherStart);
}
}  // namespace

bool cRect::intersect(const cRect& r) const
{
  return overlapsStrictly(left(), right(), r.left(), r.right()) &&
         overlapsStrictly(top(), bottom(), r.top(), r.bottom());
}

bool operator==(const cRect& a, const cRect& b)
{
  return a.topLeft == b.topLeft && a.bottomRight == b.bottomRight;
}
bool operator!=(const cRect& a, const cRect& b) { return !(a == b); }

namespace {
int rememberedZoom = 0;
int rememberedXConst = 0;
}  // namespace

int cIsoPoint::getXConst(int zoom)
{
  if (zoom == rememberedZoom) return rememberedXConst;
  rememberedZoom = zoom;
  rememberedXConst = (hostScreenWidth() * zoom) / 192;
  return rememberedXConst;
}

cPoint cIsoPoint::convertTo2D(cPoint origin) const { return convertTo2DScaled(origin, 8); }

cPoint cIsoPoint::convertTo2DScaled(cPoint origin, int zoom) const
{
  const int k = getXConst(zoom);
  return cPoint(origin.x + (y - x) * k, origin.y + ((x + y) * k) / 2);
}

void cIsoPoint::set2DPos(cPoint screen) { set2DPosScaled(screen, 8); }

void cIsoPoint::set2DPosScaled(cPoint screen, int zoom)
{
  const int k = getXConst(zoom);
  if (k == 0) return;
  screen.y += k;
  x = ((-screen.x) / 2 + screen.y) / k;
  y = (screen.x / 2 + screen.y) / k;
}

void cDirection::setDirection(int code)
{
  static const cPoint steps[9] = {{0, 0}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1},
                                  {1, 0}, {1, 1},  {0, 1},   {-1, 1}};
  x = 0;
  y = 0;
  if (code >= 1 && code <= 8) {
    x = steps[code].x;
    y = steps[code].y;
  }
}

int cDirection::getDirectionP() const
{
  for (int code = 1; code <= 8; ++code)
    if (cDirection(code) == *this) return code;
  return 0;
}
