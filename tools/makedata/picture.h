// A floating-point RGBA canvas for composing art before it becomes an Allegro bitmap.
#pragma once
#include <vector>

#include "geometry.h"

struct BITMAP;

class Picture {
public:
  Picture(int w, int h) : w_(w), h_(h), colour_(w * h), alpha_(w * h, 0.0) {}
  int width() const { return w_; }
  int height() const { return h_; }
  Rgb colour(int x, int y) const { return colour_[y * w_ + x]; }
  double alpha(int x, int y) const { return alpha_[y * w_ + x]; }
  void set(int x, int y, Rgb c, double a)
  {
    colour_[y * w_ + x] = c;
    alpha_[y * w_ + x] = a;
  }
  // Blends colour c with coverage a over pixel (x, y); points outside are ignored.
  void blend(int x, int y, Rgb c, double a);
  // Lays src over this picture with its top-left corner at (x, y).
  void draw(const Picture& src, int x, int y);
  // Multiplies the colour by f(x, y), for vignettes and gradients.
  template <typename F>
  void shade(F f)
  {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) colour_[y * w_ + x] = colour_[y * w_ + x] * f(x, y);
  }

private:
  int w_, h_;
  std::vector<Rgb> colour_;
  std::vector<double> alpha_;
};

// 32-bit bitmap: pixels at least half covered are opaque, the rest the mask colour
// (255, 0, 255); with `outline` the opaque pixels next to the mask are darkened.
BITMAP* maskedBitmap(const Picture& p, bool outline);
// 32-bit bitmap carrying the alpha channel; fully transparent pixels are (255, 0, 255, 0).
BITMAP* alphaBitmap(const Picture& p);
// 32-bit opaque bitmap (alpha ignored).
BITMAP* opaqueBitmap(const Picture& p);
