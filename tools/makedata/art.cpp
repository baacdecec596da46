#include "art.h"

#include "render.h"

Picture kindPicture(const Kind& kind, double k, int samples)
{
  Scene scene;
  kind.build(scene);
  int span = kind.xsiz + kind.ysiz;
  int w = static_cast<int>(span * k + 0.5);
  int h = static_cast<int>(span * k / 2 + kind.zsiz * k + 0.5);
  return renderScene(scene, w, h, footprintView(k, kind.xsiz, kind.zsiz), samples);
}
