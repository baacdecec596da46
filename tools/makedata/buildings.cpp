// Building models: each stands on a paved slab that fills its footprint exactly, with
// the front faces (+x lit from the left, +y in shade) toward the viewer.
#include "kinds.h"

namespace {
const Material kPaving{rgb8(150, 146, 136), Pattern::Stone, rgb8(112, 108, 100)};
const Material kBrick{rgb8(168, 84, 62), Pattern::Brick, rgb8(205, 196, 176)};
const Material kRedTiles{rgb8(176, 62, 44), Pattern::RoofTiles, {}};
const Material kSlate{rgb8(72, 88, 118), Pattern::RoofTiles, {}};
const Material kHallStone{rgb8(206, 198, 178), Pattern::Windows, rgb8(38, 58, 92)};
const Material kGold{rgb8(222, 176, 58), Pattern::Plain, {}};
const Material kWhite{rgb8(236, 234, 226), Pattern::Plain, {}};
const Material kDark{rgb8(46, 44, 46), Pattern::Plain, {}};
const Material kWood{rgb8(120, 78, 44), Pattern::Planks, {}};
const Material kGreySteel{rgb8(150, 158, 166), Pattern::Metal, {}};
const Material kRedFlag{rgb8(200, 36, 30), Pattern::Plain, {}};

void slab(Scene& s, double dx, double dy, Material m = kPaving)
{
  s.box({0, 0, 0}, {dx, dy, 0.06}, m);
}

void barracks(Scene& s)
{
  slab(s, 2, 2);
  s.box({0.15, 0.3, 0.06}, {1.75, 1.7, 0.55}, kBrick);
  s.roof({0.08, 0.24, 0.55}, {1.82, 1.76, 0.95}, true, false, kRedTiles);
  s.box({0.7, 1.7, 0.06}, {1.0, 1.73, 0.4}, kWood);
  s.box({1.75, 0.6, 0.06}, {1.78, 0.9, 0.4}, kWood);
  s.cylinder({1.88, 1.86, 0.06}, {1.88, 1.86, 0.98}, 0.025, kWhite);
  s.box({1.87, 1.5, 0.7}, {1.89, 1.84, 0.93}, kRedFlag);
}

void headquarters(Scene& s)
{
  slab(s, 2, 3);
  s.box({0.15, 0.15, 0.06}, {1.8, 2.85, 1.0}, kHallStone);
  s.roof({0.1, 0.1, 1.0}, {1.85, 2.9, 1.4}, true, true, kSlate);
  s.box({0.6, 1.1, 1.0}, {1.4, 1.9, 1.5}, kHallStone);
  s.ellipsoid({1.0, 1.5, 1.5}, {0.4, 0.4, 0.42}, kGold);
  s.box({1.8, 1.05, 0.06}, {1.98, 1.95, 0.12}, kWhite);
  for (double y : {1.15, 1.38, 1.62, 1.85}) s.cylinder({1.9, y, 0.12}, {1.9, y, 0.7}, 0.04, kWhite);
  s.roof({1.78, 1.02, 0.7}, {1.99, 1.98, 0.88}, true, false, kWhite);
}

void farm(Scene& s)
{
  s.box({0, 0, 0}, {2, 2, 0.05}, {rgb8(120, 160, 52), Pattern::Field, rgb8(112, 80, 46)});
  const Material barnWood{rgb8(156, 58, 40), Pattern::Planks, {}};
  s.box({0.15, 0.15, 0.05}, {1.15, 1.25, 0.45}, barnWood);
  s.roof({0.1, 0.1, 0.45}, {1.2, 1.3, 0.82}, false, false,
         {rgb8(96, 90, 86), Pattern::RoofTiles, {}});
  s.box({1.15, 0.5, 0.05}, {1.17, 0.85, 0.35}, kWood);
  s.cylinder({1.55, 0.5, 0.05}, {1.55, 0.5, 0.85}, 0.28, kGreySteel);
  s.ellipsoid({1.55, 0.5, 0.85}, {0.28, 0.28, 0.16}, kGreySteel);
  const Material hay{rgb8(222, 190, 92), Pattern::Plain, {}};
  s.cylinder({1.35, 1.45, 0.15}, {1.35, 1.75, 0.15}, 0.1, hay);
  s.cylinder({1.65, 1.45, 0.15}, {1.65, 1.75, 0.15}, 0.1, hay);
}

void gunTower(Scene& s)
{
  slab(s, 1, 1);
  const Material stone{rgb8(160, 156, 146), Pattern::Stone, rgb8(110, 106, 98)};
  s.frustum(0.5, 0.5, 0.06, 1.3, 0.42, 0.34, stone);
  s.frustum(0.5, 0.5, 0.95, 1.05, 0.4, 0.39, kRedFlag);
  s.cylinder({0.5, 0.5, 1.3}, {0.5, 0.5, 1.4}, 0.41, stone);
  const Material gun{rgb8(70, 78, 70), Pattern::Plain, {}};
  s.ellipsoid({0.5, 0.5, 1.42}, {0.24, 0.24, 0.2}, gun);
  s.cylinder({0.55, 0.55, 1.5}, {0.98, 0.86, 1.56}, 0.045, gun);
}

void factory(Scene& s)
{
  slab(s, 3, 2);
  s.box({0.15, 0.2, 0.06}, {2.85, 1.8, 0.5}, {rgb8(108, 126, 146), Pattern::Metal, {}});
  for (double x0 : {0.15, 1.05, 1.95})
    s.roof({x0, 0.15, 0.5}, {x0 + 0.9, 1.85, 0.78}, false, false, kGreySteel);
  s.cylinder({0.45, 0.45, 0.5}, {0.45, 0.45, 1.38}, 0.12,
             {rgb8(196, 44, 36), Pattern::Stripes, rgb8(236, 232, 224)});
  s.box({1.2, 1.8, 0.06}, {1.85, 1.83, 0.4}, {rgb8(226, 176, 40), Pattern::Metal, {}});
  s.box({2.85, 0.5, 0.06}, {2.88, 0.9, 0.35}, kDark);
}

void powerPlant(Scene& s)
{
  slab(s, 2, 2);
  const Material concrete{rgb8(214, 208, 196), Pattern::Plain, {}};
  s.frustum(0.75, 0.75, 0.06, 1.75, 0.64, 0.42, concrete);
  s.frustum(0.75, 0.75, 1.45, 1.57, 0.478, 0.463, {rgb8(200, 52, 40), Pattern::Plain, {}});
  s.cylinder({0.75, 0.75, 1.745}, {0.75, 0.75, 1.76}, 0.37, kDark);
  s.box({1.3, 1.1, 0.06}, {1.9, 1.9, 0.6},
        {rgb8(214, 188, 104), Pattern::Windows, rgb8(40, 52, 70)});
  s.box({1.45, 1.25, 0.6}, {1.75, 1.75, 0.68}, kGreySteel);
  s.cylinder({1.2, 1.75, 0.06}, {1.2, 1.75, 1.0}, 0.03, kGreySteel);
  s.box({1.17, 1.6, 0.9}, {1.23, 1.9, 0.93}, kGreySteel);
}

void stoneWall(Scene& s)
{
  slab(s, 1, 1);
  const Material stone{rgb8(152, 150, 142), Pattern::Stone, rgb8(100, 98, 92)};
  s.box({0.1, 0.1, 0.06}, {0.9, 0.9, 0.62}, stone);
  for (double x : {0.1, 0.65})
    for (double y : {0.1, 0.65}) s.box({x, y, 0.62}, {x + 0.25, y + 0.25, 0.82}, stone);
}

void fuelDepot(Scene& s)
{
  slab(s, 2, 2);
  const Material orange{rgb8(232, 122, 32), Pattern::Plain, {}};
  s.cylinder({0.75, 1.45, 0.25}, {1.45, 1.45, 0.25}, 0.05, kGreySteel);
  s.cylinder({0.55, 0.6, 0.06}, {0.55, 0.6, 0.7}, 0.42, kWhite);
  s.ellipsoid({0.55, 0.6, 0.7}, {0.42, 0.42, 0.12}, kWhite);
  s.cylinder({0.55, 0.6, 0.42}, {0.55, 0.6, 0.5}, 0.425, orange);
  s.cylinder({1.45, 1.4, 0.06}, {1.45, 1.4, 0.6}, 0.38, kWhite);
  s.ellipsoid({1.45, 1.4, 0.6}, {0.38, 0.38, 0.1}, kWhite);
  s.cylinder({1.45, 1.4, 0.34}, {1.45, 1.4, 0.42}, 0.385, orange);
  s.box({1.3, 0.2, 0.06}, {1.85, 0.75, 0.35}, orange);
}

void radarStation(Scene& s)
{
  slab(s, 2, 2);
  s.box({0.2, 0.8, 0.06}, {1.2, 1.8, 0.45},
        {rgb8(72, 146, 146), Pattern::Windows, rgb8(30, 44, 60)});
  s.box({0.25, 0.85, 0.45}, {1.15, 1.75, 0.5}, kGreySteel);
  s.cylinder({1.4, 0.6, 0.06}, {1.4, 0.6, 0.62}, 0.06, kGreySteel);
  Vec3 centre{1.4, 0.6, 0.72};
  Vec3 axis = normalize({0.55, 0.3, 0.78});
  s.cylinder(centre, centre + axis * 0.05, 0.4, kWhite);
  s.cylinder(centre, centre + axis * 0.32, 0.022, kDark);
  s.cylinder({0.9, 1.0, 0.5}, {0.9, 1.0, 0.95}, 0.02, kDark);
}

void houses(Scene& s)
{
  s.box({0, 0, 0}, {1, 2, 0.05}, {rgb8(104, 140, 64), Pattern::Plain, {}});
  s.box({0.14, 0.12, 0.05}, {0.86, 0.88, 0.4},
        {rgb8(230, 214, 178), Pattern::Windows, rgb8(40, 60, 90)});
  s.roof({0.1, 0.07, 0.4}, {0.9, 0.93, 0.74}, false, false,
         {rgb8(206, 112, 48), Pattern::RoofTiles, {}});
  s.box({0.86, 0.4, 0.05}, {0.88, 0.6, 0.3}, kWood);
  s.box({0.14, 1.12, 0.05}, {0.86, 1.88, 0.36},
        {rgb8(188, 200, 208), Pattern::Windows, rgb8(40, 60, 90)});
  s.roof({0.1, 1.08, 0.36}, {0.9, 1.92, 0.7}, true, false,
         {rgb8(62, 124, 82), Pattern::RoofTiles, {}});
  s.box({0.3, 1.3, 0.5}, {0.42, 1.42, 0.85}, kBrick);
}

void nothing(Scene& s) { slab(s, 1, 1, {rgb8(96, 96, 100), Pattern::Stone, rgb8(70, 70, 74)}); }
}  // namespace

const std::vector<Kind>& buildingKinds()
{
  static const std::vector<Kind> kinds = {
      {"Nothing", 1, 1, 0, 0, 0, 100, 0, 0, 0, 0, nothing},
      {"Barracks", 2, 2, 1, 0, 0, 800, 4, 0, 0, 0, barracks},
      {"Headquarters", 2, 3, 2, 0, 0, 2000, 8, 0, 0, 0, headquarters},
      {"Farm", 2, 2, 1, 0, 0, 500, 2, 0, 0, 0, farm},
      {"Gun Tower", 1, 1, 2, 12, 1, 900, 10, 6, 5, 0, gunTower},
      {"Factory", 3, 2, 1, 0, 0, 1500, 6, 0, 0, 0, factory},
      {"Power Plant", 2, 2, 2, 0, 0, 1000, 5, 0, 0, 0, powerPlant},
      {"Stone Wall", 1, 1, 1, 0, 0, 1200, 15, 0, 0, 0, stoneWall},
      {"Fuel Depot", 2, 2, 1, 0, 0, 700, 3, 0, 0, 0, fuelDepot},
      {"Radar Station", 2, 2, 1, 0, 0, 600, 4, 0, 0, 0, radarStation},
      {"Houses", 1, 2, 1, 0, 0, 400, 2, 0, 0, 0, houses},
  };
  return kinds;
}
