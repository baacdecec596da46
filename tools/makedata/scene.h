// Solid shapes in map-cell space and a scene of them, traced along the isometric view
// direction. The view looks along -(1, 1, 1): a point (x, y, z) lands on screen at
// ((y - x) K, (x + y) K / 2 - z K) for the tile constant K.
#pragma once
#include <memory>
#include <vector>

#include "geometry.h"

enum class Pattern { Plain, Brick, Stone, RoofTiles, Planks, Metal, Windows, Stripes, Field, Glow };

struct Material {
  Rgb base;
  Pattern pattern = Pattern::Plain;
  Rgb second;  // mortar, glass, stripe or furrow colour, by pattern
};

struct Ray {
  Vec3 origin, dir;
};

struct Hit {
  double t = 0;
  Vec3 normal;
  const Material* material = nullptr;
};

class Shape {
public:
  explicit Shape(Material m) : material_(m) {}
  virtual ~Shape() = default;
  // Nearest intersection with t > tMin; fills hit and returns true when there is one.
  virtual bool intersect(const Ray& ray, double tMin, Hit& hit) const = 0;

protected:
  Material material_;
};

struct Plane {
  Vec3 n;
  double c;  // inside where dot(n, p) <= c
};

// The intersection of half-spaces: boxes, roofs, wedges.
class ConvexShape : public Shape {
public:
  ConvexShape(std::vector<Plane> planes, Material m) : Shape(m), planes_(std::move(planes)) {}
  bool intersect(const Ray& ray, double tMin, Hit& hit) const override;

private:
  std::vector<Plane> planes_;
};

// A capped cylinder between two points.
class CylinderShape : public Shape {
public:
  CylinderShape(Vec3 from, Vec3 to, double radius, Material m);
  bool intersect(const Ray& ray, double tMin, Hit& hit) const override;

private:
  Vec3 from_, axis_;
  double length_, radius_;
};

// A vertical frustum: radius r0 at z0 narrowing (or widening) to r1 at z1; r1 = 0 is a cone.
class FrustumShape : public Shape {
public:
  FrustumShape(double cx, double cy, double z0, double z1, double r0, double r1, Material m);
  bool intersect(const Ray& ray, double tMin, Hit& hit) const override;

private:
  bool sideHit(const Ray& ray, double tMin, Hit& hit) const;
  double cx_, cy_, z0_, z1_, r0_, r1_;
};

class EllipsoidShape : public Shape {
public:
  EllipsoidShape(Vec3 centre, Vec3 radii, Material m) : Shape(m), c_(centre), r_(radii) {}
  bool intersect(const Ray& ray, double tMin, Hit& hit) const override;

private:
  Vec3 c_, r_;
};

class Scene {
public:
  void box(Vec3 lo, Vec3 hi, Material m);
  // A roof over [lo.x, hi.x] x [lo.y, hi.y] from z lo.z to the ridge at hi.z; the ridge runs
  // along x when alongX, else along y; inset 0.5 of the width at both ends gives a hip roof.
  void roof(Vec3 lo, Vec3 hi, bool alongX, bool hip, Material m);
  void cylinder(Vec3 from, Vec3 to, double radius, Material m);
  void frustum(double cx, double cy, double z0, double z1, double r0, double r1, Material m);
  void ellipsoid(Vec3 centre, Vec3 radii, Material m);
  void add(std::unique_ptr<Shape> s) { shapes_.push_back(std::move(s)); }
  // Shapes added afterwards are scaled by f about the ground point (px, py, 0).
  void setScale(double px, double py, double f)
  {
    pivot_ = {px, py, 0};
    scale_ = f;
  }
  bool trace(const Ray& ray, double tMin, Hit& hit) const;

private:
  Vec3 at(Vec3 p) const { return pivot_ + (p - pivot_) * scale_; }
  std::vector<std::unique_ptr<Shape>> shapes_;
  Vec3 pivot_;
  double scale_ = 1;
};

// The colour of a surface point before lighting.
Rgb surfaceColour(const Material& m, Vec3 p, Vec3 n);
// The light falls from the viewer's left and above.
Vec3 lightDirection();
// Light level of a surface with normal n: ambient plus diffuse, lower in shadow.
double lightLevel(Vec3 n, bool shadowed);
