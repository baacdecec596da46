#ifndef KORVANE_WORLD_POINTUTIL_H
#define KORVANE_WORLD_POINTUTIL_H
// Integer geometry shared by both programs. All arithmetic is signed 32-bit and every
// division truncates toward zero (never floors), also for negative values.

class cPoint {
public:
  int x = 0;
  int y = 0;

  cPoint() = default;
  cPoint(int px, int py) : x(px), y(py) {}
  cPoint(double px, double py);  // each value truncated toward zero

  cPoint& operator+=(const cPoint& p);
  cPoint& operator-=(const cPoint& p);
  cPoint& operator*=(double f);  // each product truncated toward zero
};

cPoint operator+(const cPoint& a, const cPoint& b);
cPoint operator-(const cPoint& a, const cPoint& b);
cPoint operator-(const cPoint& a);
cPoint operator*(const cPoint& p, int n);
cPoint operator/(const cPoint& p, int n);     // integer division, truncating
cPoint operator/(const cPoint& p, double d);  // floating division, then truncated
bool operator==(const cPoint& a, const cPoint& b);
bool operator!=(const cPoint& a, const cPoint& b);

// Half-open rectangle: left <= x < right, top <= y < bottom. Never normalised; a
// rectangle with right <= left or bottom <= top is empty.
class cRect {
public:
  cPoint topLeft;
  cPoint bottomRight;

  cRect() = default;
  cRect(int w, int h) : bottomRight(w, h) {}
  cRect(int l, int t, int r, int b) : topLeft(l, t), bottomRight(r, b) {}
  cRect(const cPoint& tl, const cPoint& br) : topLeft(tl), bottomRight(br) {}  // two corners

  int& left() { return topLeft.x; }
  int& top() { return topLeft.y; }
  int& right() { return bottomRight.x; }
  int& bottom() { return bottomRight.y; }
  const int& left() const { return topLeft.x; }
  const int& top() const { return topLeft.y; }
  const int& right() const { return bottomRight.x; }
  const int& bottom() const { return bottomRight.y; }

  int myWidth() const { return right() - left(); }
  int myHeight() const { return bottom() - top(); }

  void offset(int dx, int dy);
  void offset(const cPoint& d) { offset(d.x, d.y); }
  void inset(int dx, int dy);  // becomes all zero when the result is empty
  void inset(const cPoint& d) { inset(d.x, d.y); }
  void empty();
  bool isEmpty() const;
  bool includes(const cPoint& p) const;
  // Overlap on both axes with strict comparisons: equal left (or top) edges do not count.
  bool intersect(const cRect& r) const;
};

bool operator==(const cRect& a, const cRect& b);
bool operator!=(const cRect& a, const cRect& b);

// A map cell (x column, y row, z 0) or an object size (footprint x, y in cells, height z).
class cIsoPoint : public cPoint {
public:
  int z = 0;

  cIsoPoint() = default;
  cIsoPoint(int px, int py) : cPoint(px, py) {}
  cIsoPoint(int px, int py, int pz) : cPoint(px, py), z(pz) {}
  cIsoPoint(cPoint p) : cPoint(p) {}

  cPoint toPoint() const { return cPoint(x, y); }
  int yCoOrd() const { return x + y; }  // the cell's diagonal row on screen

  // Tile half-width k in pixels: (screen width * zoom) / 192, 0 without a graphics mode.
  // Remembered with its zoom: the same zoom as the previous call returns the old value.
  static int getXConst(int zoom);

  // Screen position (pixels) of this cell; the unscaled forms use the reference zoom 8.
  cPoint convertTo2D(cPoint origin) const;
  cPoint convertTo2DScaled(cPoint origin, int zoom) const;
  // Sets x and y to the cell under a screen position (z unchanged). The point is first
  // moved down one tile, so cell (x, y)'s own screen point reads back as (x + 1, y + 1).
  // Without a graphics mode (k = 0) the cell is left unchanged.
  void set2DPos(cPoint screen);
  void set2DPosScaled(cPoint screen, int zoom);
};

// One of the eight unit steps on the cell grid, by code 1..8 clockwise from (-1, 0);
// code 0 is no step.
class cDirection : public cPoint {
public:
  cDirection() = default;
  explicit cDirection(int code) { setDirection(code); }

  void setDirection(int code);  // codes outside 1..8 give (0, 0)
  cPoint getDirection() const { return cPoint(x, y); }
  int getDirectionP() const;  // 0 for (0, 0) and any vector that is not a unit step
};

#endif
