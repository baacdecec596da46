#include "client/enginerules.h"

#include <allegro.h>
#include <cstdio>

#include "world/metadatabase.h"

namespace {
constexpr int scrollStep = 10;

// snprintf into a fixed buffer: the text is cut, never overrun.
template <size_t N, typename... Args>
std::string format(const char* pattern, Args... args)
{
  char buffer[N];
  snprintf(buffer, sizeof buffer, pattern, args...);
  return buffer;
}
}  // namespace

cKeyAction gameKeyAction(int key)
{
  switch (key >> 8) {
    case KEY_UP:
    case KEY_8_PAD: return {KEY_ACTION_SCROLL, cPoint(0, scrollStep)};
    case KEY_DOWN:
    case KEY_2_PAD: return {KEY_ACTION_SCROLL, cPoint(0, -scrollStep)};
    case KEY_LEFT:
    case KEY_4_PAD: return {KEY_ACTION_SCROLL, cPoint(scrollStep, 0)};
    case KEY_RIGHT:
    case KEY_6_PAD: return {KEY_ACTION_SCROLL, cPoint(-scrollStep, 0)};
    case KEY_ESC: return {KEY_ACTION_QUIT, cPoint()};
    default: break;
  }
  switch (key & 0xff) {
    case 'q': return {KEY_ACTION_QUIT, cPoint()};
    case '+': return {KEY_ACTION_ZOOM_IN, cPoint()};
    case '-': return {KEY_ACTION_ZOOM_OUT, cPoint()};
    case 'l': return {KEY_ACTION_RELOAD_TOOLBAR, cPoint()};
    case 's': return {KEY_ACTION_SCREENSHOT, cPoint()};
    case 't': return {KEY_ACTION_SELF_TEST, cPoint()};
    default: return {};
  }
}

eMode nextMode(eMode mode)
{
  switch (mode) {
    case MODE_SELECT: return MODE_BUILD;
    case MODE_BUILD: return MODE_COMMAND;
    default: return MODE_SELECT;
  }
}

int nextBuildType(int buildType) { return buildType >= 9 ? 1 : buildType + 1; }

bool isBuildingType(const cMetaDatabase* catalogue, int type)
{
  return catalogue && type > 0 && type < catalogue->retrieveMaxObjects();
}

cScreenLayout screenLayout(int width, int height)
{
  cScreenLayout l;
  l.toolbarHeight = width / 6;
  l.screenRect = cRect(0, 0, width, height);
  l.viewArea = cRect(0, 15, width, height - l.toolbarHeight - 5);
  return l;
}

cRect toolbarItemRect(int i, int screenHeight, int toolbarHeight, int minimapLeft)
{
  // The items share the room left of the minimap, so that none lies under it or off the screen.
  const int pitch = (minimapLeft - 10) / 6;
  const int left = 5 + i * pitch;
  return cRect(left, screenHeight - toolbarHeight - 3, left + pitch - 3, screenHeight - 3);
}

cPoint centreOffsetFor(cPoint tile, int viewHeight, int zoom)
{
  return -cIsoPoint(tile).convertTo2DScaled(cPoint(0, -(viewHeight / 2)), zoom);
}

std::vector<std::string> statisticsLines(const cGameStatistics& s)
{
  std::vector<std::string> lines;
  lines.push_back("Game statistics...");
  lines.push_back(format<256>("Game ticks: %lli. ", s.ticks));
  if (s.networkGame) {
    lines.push_back("Network game");
    lines.push_back(format<256>("Player: %s@%s ID=%li. ", s.playerName.c_str(),
                                s.playerHost.c_str(), s.playerID));
  } else {
    lines.push_back("Local game");
  }
  lines.push_back(format<256>("Map %ix%i with %li buildings and %li units. ", s.mapSize.x,
                              s.mapSize.y, s.buildings, s.units));
  lines.push_back(format<256>("Datafile has %i terrains, %i buildings and %i units", s.terrainKinds,
                              s.buildingKinds, s.unitKinds));
  lines.push_back(format<256>("Current mode is %i object to build is %i.", s.mode, s.buildType));
  lines.push_back("---");
  return lines;
}

std::string positionText(cPoint position, cPoint dimension)
{
  return format<64>("(%i,%i)->(%i,%i)", position.x, position.y, dimension.x, dimension.y);
}

cPoint arrowScroll(bool up, bool down, bool left, bool right)
{
  constexpr int step = 8;
  return cPoint(((left ? 1 : 0) - (right ? 1 : 0)) * step, ((up ? 1 : 0) - (down ? 1 : 0)) * step);
}
