// Unit models: each stands at the centre of its tile and faces +x (down-left on screen).
#include "kinds.h"

namespace {
const Material kOlive{rgb8(96, 116, 64), Pattern::Plain, {}};
const Material kDarkOlive{rgb8(66, 78, 46), Pattern::Plain, {}};
const Material kSkin{rgb8(228, 182, 140), Pattern::Plain, {}};
const Material kGun{rgb8(40, 40, 42), Pattern::Plain, {}};
const Material kTrack{rgb8(52, 50, 48), Pattern::Metal, {}};
const Material kRocket{rgb8(210, 44, 36), Pattern::Plain, {}};

void rifleman(Scene& s)
{
  s.setScale(0.5, 0.5, 1.7);
  s.box({0.45, 0.43, 0}, {0.55, 0.49, 0.34}, kDarkOlive);
  s.box({0.45, 0.51, 0}, {0.55, 0.57, 0.34}, kDarkOlive);
  s.box({0.42, 0.4, 0.32}, {0.58, 0.6, 0.64}, kOlive);
  s.box({0.35, 0.41, 0.38}, {0.42, 0.59, 0.6}, {rgb8(120, 86, 52), Pattern::Plain, {}});
  s.box({0.46, 0.34, 0.4}, {0.6, 0.4, 0.62}, kOlive);
  s.box({0.46, 0.6, 0.4}, {0.66, 0.66, 0.6}, kOlive);
  s.ellipsoid({0.5, 0.5, 0.73}, {0.075, 0.075, 0.085}, kSkin);
  s.ellipsoid({0.49, 0.5, 0.78}, {0.1, 0.1, 0.07}, kDarkOlive);
  s.box({0.5, 0.64, 0.5}, {0.86, 0.68, 0.55}, kGun);
}

void tank(Scene& s)
{
  s.setScale(0.5, 0.5, 1.25);
  const Material hull{rgb8(128, 132, 84), Pattern::Metal, {}};
  s.box({0.14, 0.18, 0.02}, {0.86, 0.32, 0.2}, kTrack);
  s.box({0.14, 0.68, 0.02}, {0.86, 0.82, 0.2}, kTrack);
  s.box({0.2, 0.3, 0.1}, {0.82, 0.7, 0.3}, hull);
  s.ellipsoid({0.46, 0.5, 0.3}, {0.22, 0.19, 0.14}, hull);
  s.cylinder({0.6, 0.5, 0.36}, {0.92, 0.5, 0.39}, 0.035, {rgb8(96, 100, 62), Pattern::Plain, {}});
  s.cylinder({0.4, 0.45, 0.4}, {0.4, 0.45, 0.46}, 0.05, kDarkOlive);
}

void rocketBuggy(Scene& s)
{
  s.setScale(0.5, 0.5, 1.3);
  const Material body{rgb8(196, 164, 92), Pattern::Plain, {}};
  for (double x : {0.3, 0.7})
    for (double y : {0.27, 0.73}) s.cylinder({x, y - 0.05, 0.1}, {x, y + 0.05, 0.1}, 0.1, kTrack);
  s.box({0.22, 0.32, 0.08}, {0.8, 0.68, 0.24}, body);
  s.box({0.55, 0.36, 0.24}, {0.7, 0.64, 0.38}, {rgb8(60, 84, 110), Pattern::Plain, {}});
  s.box({0.22, 0.36, 0.24}, {0.5, 0.64, 0.42}, {rgb8(112, 116, 110), Pattern::Metal, {}});
  for (double y : {0.42, 0.5, 0.58}) s.cylinder({0.45, y, 0.35}, {0.62, y, 0.42}, 0.03, kRocket);
}

void nobody(Scene& s)
{
  s.cylinder({0.5, 0.5, 0}, {0.5, 0.5, 0.3}, 0.12, {rgb8(120, 120, 124), Pattern::Plain, {}});
}
}  // namespace

const std::vector<Kind>& unitKinds()
{
  static const std::vector<Kind> kinds = {
      {"Nobody", 1, 1, 1, 0, 0, 100, 0, 0, 0, 0, nobody},
      {"Rifleman", 1, 1, 1, 6, 1, 100, 2, 4, 2, 0, rifleman},
      {"Tank", 1, 1, 1, 20, 2, 300, 8, 5, 4, 0, tank},
      {"Rocket Buggy", 1, 1, 1, 12, 1, 150, 3, 6, 3, 0, rocketBuggy},
  };
  return kinds;
}
