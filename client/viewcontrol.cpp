// What keeps the player oriented on the map: where a game opens, scrolling with the arrow
// keys, the short flash of each blast and the unit toolbar's position text.
#include <allegro.h>

#include <algorithm>

#include "client/context.h"
#include "client/game.h"
#include "net/player.h"
#include "render/isoview.h"
#include "render/isoviewrect.h"

namespace {
constexpr int64_t flashMicros = 200000;

bool ownedBy(const cObjectList* list, long owner, cPoint& tile)
{
  for (cObjectListNode* n = list->getFirstNode(); n; n = n->getNext()) {
    if (n->myData()->getPlayerID() != owner) continue;
    tile = n->myData()->myPosition();
    return true;
  }
  return false;
}
}  // namespace

// On the player's first unit, else its first building, else the map's middle.
void cGame::openOnOwnForces()
{
  const long owner = player->myID();
  cPoint tile(map().getMaxPos().x / 2, map().getMaxPos().y / 2);
  if (!ownedBy(map().getUnits(), owner, tile)) ownedBy(map().getBuildings(), owner, tile);
  view->centreOn(centreOffsetFor(tile, layout.viewArea.myHeight(), map().getZoom()));
  view->checkScroll();
}

bool cGame::arrowHeld(int scanCode) const
{
  return keyboard_driver && scanCode > 0 && scanCode < KEY_MAX && ::key[scanCode];
}

// Held arrows scroll every frame; the keyboard's repeats (readkey) are left to taps.
void cGame::scrollByHeldKeys()
{
  const cPoint step = arrowScroll(
      arrowHeld(KEY_UP) || arrowHeld(KEY_8_PAD), arrowHeld(KEY_DOWN) || arrowHeld(KEY_2_PAD),
      arrowHeld(KEY_LEFT) || arrowHeld(KEY_4_PAD), arrowHeld(KEY_RIGHT) || arrowHeld(KEY_6_PAD));
  if (step != cPoint()) view->externalScroll(step);
}

void cGame::collectBlasts()
{
  const int64_t until = clock.now() + flashMicros;
  for (const cGamePlayMap::cBlastMark& b : map().takeBlasts()) {
    flashes.push_back(cFlash{b, until});
    flashesChanged = true;
  }
}

void cGame::ageFlashes()
{
  const int64_t now = clock.now();
  const auto gone = std::remove_if(flashes.begin(), flashes.end(),
                                   [now](const cFlash& f) { return f.until <= now; });
  if (gone != flashes.end()) flashesChanged = true;
  flashes.erase(gone, flashes.end());
  if (!flashesChanged) return;
  flashesChanged = false;
  std::vector<cGamePlayMap::cBlastMark> shown;
  for (const cFlash& f : flashes) shown.push_back(f.blast);
  map().setFlashes(shown);
  setRedraw(REDRAW_MAP);
}

// The unit toolbar names where its unit stands while it walks.
void cGame::followSelectedUnit()
{
  if (toolbarState != TOOLBAR_UNIT_INFO || !lastSelected || lastSelected == noObject.get()) return;
  const std::string now = positionText(lastSelected->myPosition(), lastSelected->myDim());
  if (now == shownPosition) return;
  shownPosition = now;
  toolbar(TOOLBAR_UNIT_INFO).setItemsTextT(3, now.c_str(), context.gameFont, toolbarTextColour());
  setRedraw(REDRAW_PANEL);
}
