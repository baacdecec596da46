#include "scene.h"

#include <cmath>

namespace {
constexpr double kNoHit = 1e30;

// Smallest root of a t^2 + b t + c = 0 above tMin whose point passes `accept`; kNoHit if none.
template <typename Accept>
double smallestRoot(double a, double b, double c, double tMin, Accept accept)
{
  if (std::fabs(a) < 1e-12) return kNoHit;
  double disc = b * b - 4 * a * c;
  if (disc < 0) return kNoHit;
  double s = std::sqrt(disc);
  double t0 = (-b - s) / (2 * a), t1 = (-b + s) / (2 * a);
  if (t0 > t1) std::swap(t0, t1);
  if (t0 > tMin && accept(t0)) return t0;
  if (t1 > tMin && accept(t1)) return t1;
  return kNoHit;
}
}  // namespace

bool ConvexShape::intersect(const Ray& ray, double tMin, Hit& hit) const
{
  double tEnter = -kNoHit, tExit = kNoHit;
  Vec3 enterNormal;
  for (const Plane& p : planes_) {
    double denom = dot(p.n, ray.dir);
    double dist = p.c - dot(p.n, ray.origin);
    if (std::fabs(denom) < 1e-12) {
      if (dist < 0) return false;
      continue;
    }
    double t = dist / denom;
    if (denom > 0) {
      tExit = std::min(tExit, t);
    } else if (t > tEnter) {
      tEnter = t;
      enterNormal = p.n;
    }
  }
  if (tEnter > tExit || tEnter <= tMin) return false;
  hit.t = tEnter;
  hit.normal = normalize(enterNormal);
  hit.material = &material_;
  return true;
}

CylinderShape::CylinderShape(Vec3 from, Vec3 to, double radius, Material m)
    : Shape(m), from_(from), radius_(radius)
{
  Vec3 d = to - from;
  length_ = std::sqrt(dot(d, d));
  axis_ = d * (1.0 / length_);
}

bool CylinderShape::intersect(const Ray& ray, double tMin, Hit& hit) const
{
  Vec3 oc = ray.origin - from_;
  Vec3 dp = ray.dir - axis_ * dot(ray.dir, axis_);
  Vec3 op = oc - axis_ * dot(oc, axis_);
  auto along = [&](double t) { return dot(oc + ray.dir * t, axis_); };
  double best = smallestRoot(dot(dp, dp), 2 * dot(dp, op), dot(op, op) - radius_ * radius_, tMin,
                             [&](double t) { return along(t) >= 0 && along(t) <= length_; });
  Vec3 normal;
  if (best < kNoHit) {
    Vec3 p = oc + ray.dir * best;
    normal = normalize(p - axis_ * dot(p, axis_));
  }
  for (int end = 0; end < 2; ++end) {
    double denom = dot(ray.dir, axis_);
    if (std::fabs(denom) < 1e-12) break;
    double t = (end * length_ - dot(oc, axis_)) / denom;
    Vec3 p = oc + ray.dir * t - axis_ * (end * length_);
    if (t > tMin && t < best && dot(p, p) <= radius_ * radius_) {
      best = t;
      normal = end ? axis_ : axis_ * -1;
    }
  }
  if (best >= kNoHit) return false;
  hit = {best, normal, &material_};
  return true;
}

FrustumShape::FrustumShape(double cx, double cy, double z0, double z1, double r0, double r1,
                           Material m)
    : Shape(m), cx_(cx), cy_(cy), z0_(z0), z1_(z1), r0_(r0), r1_(r1)
{
}

bool FrustumShape::sideHit(const Ray& ray, double tMin, Hit& hit) const
{
  // Radius r(z) = r0 + k (z - z0): the side is x^2 + y^2 = r(z)^2 within z0..z1.
  double k = (r1_ - r0_) / (z1_ - z0_);
  Vec3 o = {ray.origin.x - cx_, ray.origin.y - cy_, ray.origin.z - z0_};
  Vec3 d = ray.dir;
  double ro = r0_ + k * o.z;
  double a = d.x * d.x + d.y * d.y - k * k * d.z * d.z;
  double b = 2 * (o.x * d.x + o.y * d.y - ro * k * d.z);
  double c = o.x * o.x + o.y * o.y - ro * ro;
  double t = smallestRoot(a, b, c, tMin, [&](double t) {
    double z = o.z + d.z * t;
    return z >= 0 && z <= z1_ - z0_ && ro + k * d.z * t >= 0;
  });
  if (t >= kNoHit) return false;
  Vec3 p = o + d * t;
  double rho = std::sqrt(p.x * p.x + p.y * p.y);
  hit = {t, normalize({p.x, p.y, -k * rho}), &material_};
  return true;
}

bool FrustumShape::intersect(const Ray& ray, double tMin, Hit& hit) const
{
  bool found = sideHit(ray, tMin, hit);
  const double caps[2][2] = {{z0_, r0_}, {z1_, r1_}};
  for (int end = 0; end < 2; ++end) {
    double z = caps[end][0], r = caps[end][1];
    if (std::fabs(ray.dir.z) < 1e-12 || r <= 0) continue;
    double t = (z - ray.origin.z) / ray.dir.z;
    double px = ray.origin.x + ray.dir.x * t - cx_, py = ray.origin.y + ray.dir.y * t - cy_;
    if (t > tMin && (!found || t < hit.t) && px * px + py * py <= r * r) {
      hit = {t, {0, 0, end ? 1.0 : -1.0}, &material_};
      found = true;
    }
  }
  return found;
}

bool EllipsoidShape::intersect(const Ray& ray, double tMin, Hit& hit) const
{
  Vec3 o = ray.origin - c_;
  o = {o.x / r_.x, o.y / r_.y, o.z / r_.z};
  Vec3 d = {ray.dir.x / r_.x, ray.dir.y / r_.y, ray.dir.z / r_.z};
  double t =
      smallestRoot(dot(d, d), 2 * dot(o, d), dot(o, o) - 1, tMin, [](double) { return true; });
  if (t >= kNoHit) return false;
  Vec3 p = o + d * t;
  hit = {t, normalize({p.x / r_.x, p.y / r_.y, p.z / r_.z}), &material_};
  return true;
}

void Scene::box(Vec3 lo, Vec3 hi, Material m)
{
  lo = at(lo);
  hi = at(hi);
  add(std::make_unique<ConvexShape>(std::vector<Plane>{{{-1, 0, 0}, -lo.x},
                                                       {{1, 0, 0}, hi.x},
                                                       {{0, -1, 0}, -lo.y},
                                                       {{0, 1, 0}, hi.y},
                                                       {{0, 0, -1}, -lo.z},
                                                       {{0, 0, 1}, hi.z}},
                                    m));
}

void Scene::roof(Vec3 lo, Vec3 hi, bool alongX, bool hip, Material m)
{
  lo = at(lo);
  hi = at(hi);
  double half = alongX ? (hi.y - lo.y) / 2 : (hi.x - lo.x) / 2;
  double s = (hi.z - lo.z) / half;
  std::vector<Plane> planes = {{{-1, 0, 0}, -lo.x},
                               {{1, 0, 0}, hi.x},
                               {{0, -1, 0}, -lo.y},
                               {{0, 1, 0}, hi.y},
                               {{0, 0, -1}, -lo.z}};
  bool slopeY = alongX || hip, slopeX = !alongX || hip;
  if (slopeY) {
    planes.push_back({{0, -s, 1}, lo.z - s * lo.y});
    planes.push_back({{0, s, 1}, lo.z + s * hi.y});
  }
  if (slopeX) {
    planes.push_back({{-s, 0, 1}, lo.z - s * lo.x});
    planes.push_back({{s, 0, 1}, lo.z + s * hi.x});
  }
  add(std::make_unique<ConvexShape>(std::move(planes), m));
}

void Scene::cylinder(Vec3 from, Vec3 to, double radius, Material m)
{
  add(std::make_unique<CylinderShape>(at(from), at(to), radius * scale_, m));
}

void Scene::frustum(double cx, double cy, double z0, double z1, double r0, double r1, Material m)
{
  Vec3 base = at({cx, cy, z0}), top = at({cx, cy, z1});
  add(std::make_unique<FrustumShape>(base.x, base.y, base.z, top.z, r0 * scale_, r1 * scale_, m));
}

void Scene::ellipsoid(Vec3 centre, Vec3 radii, Material m)
{
  add(std::make_unique<EllipsoidShape>(at(centre), radii * scale_, m));
}

bool Scene::trace(const Ray& ray, double tMin, Hit& hit) const
{
  bool found = false;
  for (const auto& s : shapes_) {
    Hit h;
    if (s->intersect(ray, tMin, h) && (!found || h.t < hit.t)) {
      hit = h;
      found = true;
    }
  }
  return found;
}

Vec3 lightDirection() { return normalize({0.62, 0.18, 0.76}); }

double lightLevel(Vec3 n, bool shadowed)
{
  double diffuse = std::max(0.0, dot(n, lightDirection()));
  return 0.36 + (shadowed ? 0.12 : 0.72) * diffuse;
}
