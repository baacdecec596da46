// Anti-aliased 2-D shapes by signed distance (negative inside, in pixels).
#pragma once
#include <functional>

#include "picture.h"

using Distance = std::function<double(double x, double y)>;

Distance roundBox(double cx, double cy, double halfW, double halfH, double radius);
Distance circle(double cx, double cy, double r);
Distance segment(double ax, double ay, double bx, double by, double width);
// A ring of radius r and width w from angle a0 to a1 (radians, counter-clockwise on screen).
Distance arc(double cx, double cy, double r, double w, double a0, double a1);
Distance triangle(double ax, double ay, double bx, double by, double cx, double cy);
Distance unite(Distance a, Distance b);

// Blends colour c over every pixel by the shape's coverage.
void fill(Picture& pic, const Distance& shape, Rgb c, double opacity = 1.0);
// Fills with a colour that depends on the pixel.
void fillWith(Picture& pic, const Distance& shape, const std::function<Rgb(double, double)>& paint);
