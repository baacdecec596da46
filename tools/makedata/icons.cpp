#include "icons.h"

#include <algorithm>
#include <cmath>

#include "art.h"
#include "shapes2d.h"

namespace {
const Rgb kInk = rgb8(236, 240, 248);

Picture panel()
{
  Picture pic(kIconSize, kIconSize);
  double c = kIconSize / 2.0;
  fillWith(pic, roundBox(c, c, c - 4, c - 4, 14), [](double x, double y) {
    return mix(rgb8(176, 196, 226), rgb8(18, 22, 32), (x + y) / (2.0 * kIconSize));
  });
  fillWith(pic, roundBox(c, c, c - 7, c - 7, 11), [](double, double y) {
    return mix(rgb8(82, 102, 132), rgb8(34, 42, 60), y / kIconSize);
  });
  return pic;
}

void caption(Picture& pic, Typeface& face, const std::string& text)
{
  int size = 17;
  while (size > 10 && face.textWidth(text, size) > kIconSize - 18) --size;
  int x = (kIconSize - face.textWidth(text, size)) / 2;
  face.draw(pic, text, size, x + 1, 115, rgb8(10, 12, 18));
  face.draw(pic, text, size, x, 114, kInk);
}

void arrowHead(Picture& pic, double x, double y, double dx, double dy, double size, Rgb c)
{
  double nx = -dy, ny = dx;
  fill(pic,
       triangle(x + dx * size, y + dy * size, x + nx * size * 0.9, y + ny * size * 0.9,
                x - nx * size * 0.9, y - ny * size * 0.9),
       c);
}

void redraw(Picture& pic)
{
  const Rgb green = rgb8(126, 224, 160);
  const double a1 = 5.2, r = 27;
  fill(pic, arc(64, 56, r, 9, 0.6, a1), green);
  arrowHead(pic, 64 + r * std::cos(a1), 56 - r * std::sin(a1), -std::sin(a1), -std::cos(a1), 13,
            green);
}

void diagnose(Picture& pic)
{
  fill(pic, circle(56, 48, 21), rgb8(150, 200, 240), 0.45);
  fill(pic, triangle(56, 36, 70, 46, 56, 56), rgb8(96, 168, 70));
  fill(pic, triangle(56, 36, 42, 46, 56, 56), rgb8(120, 190, 84));
  fill(pic, arc(56, 48, 23, 7, 0, 2 * M_PI), rgb8(222, 224, 234));
  fill(pic, segment(73, 65, 94, 86, 12), rgb8(120, 78, 44));
}

void statistics(Picture& pic)
{
  const double heights[4] = {26, 44, 32, 58};
  const Rgb colours[4] = {rgb8(222, 80, 64), rgb8(236, 196, 64), rgb8(96, 196, 96),
                          rgb8(96, 150, 236)};
  for (int i = 0; i < 4; ++i) {
    double x = 40 + i * 17;
    fill(pic, roundBox(x, 88 - heights[i] / 2, 6, heights[i] / 2, 2), colours[i]);
  }
  fill(pic, segment(28, 89, 102, 89, 3), kInk);
  fill(pic, segment(29, 89, 29, 26, 3), kInk);
}

void plusBadge(Picture& pic, double x, double y)
{
  fill(pic, circle(x, y, 15), rgb8(40, 150, 60));
  fill(pic, segment(x - 8, y, x + 8, y, 5), kInk);
  fill(pic, segment(x, y - 8, x, y + 8, 5), kInk);
}

void newUnit(Picture& pic)
{
  pic.draw(kindPicture(unitKinds()[1], 52, 3), 64 - 52, 10);
  plusBadge(pic, 94, 32);
}

void build(Picture& pic)
{
  Picture house = kindPicture(buildingKinds()[1], 21, 3);
  pic.draw(house, 64 - house.width() / 2 - 6, 94 - house.height());
  fill(pic, segment(86, 26, 104, 62, 7), rgb8(150, 100, 56));
  fill(pic, segment(74, 34, 96, 22, 13), rgb8(184, 190, 200));
}

void message(Picture& pic)
{
  fill(pic, unite(roundBox(64, 50, 40, 26, 13), triangle(42, 70, 60, 72, 36, 92)),
       rgb8(238, 238, 226));
  for (double x : {46.0, 64.0, 82.0}) fill(pic, circle(x, 50, 5.5), rgb8(48, 56, 76));
}
}  // namespace

Picture toolbarIcon(int item, Typeface& captionFace)
{
  static void (*const pictures[kToolbarIcons])(Picture&) = {redraw,  diagnose, statistics,
                                                            newUnit, build,    message};
  static const char* const captions[kToolbarIcons] = {"Redraw",   "Diagnose", "Statistics",
                                                      "New unit", "Build",    "Message"};
  Picture pic = panel();
  pictures[item](pic);
  caption(pic, captionFace, captions[item]);
  return pic;
}

Picture buildIcon(const Kind& kind, Typeface& captionFace)
{
  int span = kind.xsiz + kind.ysiz;
  double k = std::min(106.0 / span, 78.0 / (span / 2.0 + kind.zsiz));
  Picture pic = panel();
  Picture art = kindPicture(kind, k, 3);
  pic.draw(art, (kIconSize - art.width()) / 2, 96 - art.height());
  caption(pic, captionFace, kind.desc);
  return pic;
}

Picture returnIcon(Typeface& captionFace)
{
  Picture pic = panel();
  const Rgb amber = rgb8(250, 198, 76);
  fill(pic, segment(96, 54, 52, 54, 15), amber);
  arrowHead(pic, 50, 54, -1, 0, 24, amber);
  caption(pic, captionFace, "Back");
  return pic;
}

// Drawn afresh at every size rather than scaled down, so that small icons stay sharp.
Picture gameIcon(int size)
{
  Picture pic(size, size);
  const double c = size / 2.0, s = size / 128.0;
  fillWith(pic, roundBox(c, c, c - 2 * s, c - 2 * s, 24 * s),
           [=](double, double y) { return mix(rgb8(112, 164, 220), rgb8(28, 52, 92), y / size); });
  const Kind& hall = buildingKinds()[2];
  const int span = hall.xsiz + hall.ysiz;
  const double k = std::min(0.8 * size / span, 0.72 * size / (span / 2.0 + hall.zsiz));
  const double ground = size * 0.9, halfW = span * k / 2 + 6 * s;
  fill(pic,
       unite(triangle(c - halfW, ground - halfW / 2, c + halfW, ground - halfW / 2, c, ground),
             triangle(c - halfW, ground - halfW / 2, c + halfW, ground - halfW / 2, c,
                      ground - halfW)),
       rgb8(86, 150, 70));
  Picture art = kindPicture(hall, k, size < 64 ? 4 : 3);
  pic.draw(art, static_cast<int>(c - art.width() / 2.0 + 0.5),
           static_cast<int>(ground - 6 * s * 0.5 - art.height() + 0.5));
  return pic;
}
