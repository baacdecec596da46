// What keeps the player oriented on the map: where a game opens, scrolling with the arrow
// keys, and the short flash of each blast.
#include <allegro.h>

#include <algorithm>

#include "client/cgameengine.h"
#include "client/enginerules.h"
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

void cGameEngine::openOnOwnForces(long owner)
{
  cPoint tile(map().getMaxPos().x / 2, map().getMaxPos().y / 2);
  if (!ownedBy(map().getUnits(), owner, tile)) ownedBy(map().getBuildings(), owner, tile);
  view->centreOn(centreOffsetFor(tile, viewArea.myHeight(), map().getZoom()));
  view->checkScroll();
}

bool cGameEngine::arrowHeld(int scanCode) const
{
  return keyboard_driver && scanCode > 0 && scanCode < KEY_MAX && ::key[scanCode];
}

// Held arrows scroll every frame; the keyboard's repeats (readkey) are left to taps.
void cGameEngine::scrollByHeldKeys()
{
  const cPoint step = arrowScroll(
      arrowHeld(KEY_UP) || arrowHeld(KEY_8_PAD), arrowHeld(KEY_DOWN) || arrowHeld(KEY_2_PAD),
      arrowHeld(KEY_LEFT) || arrowHeld(KEY_4_PAD), arrowHeld(KEY_RIGHT) || arrowHeld(KEY_6_PAD));
  if (step != cPoint()) view->externalScroll(step);
}

void cGameEngine::collectBlasts()
{
  const int64_t until = clock.now() + flashMicros;
  for (const cIsoView::cBlastMark& b : map().takeBlasts()) {
    flashes.push_back(cFlash{b, until});
    flashesChanged = true;
  }
}

void cGameEngine::ageFlashes()
{
  const int64_t now = clock.now();
  const auto gone = std::remove_if(flashes.begin(), flashes.end(),
                                   [now](const cFlash& f) { return f.until <= now; });
  if (gone != flashes.end()) flashesChanged = true;
  flashes.erase(gone, flashes.end());
  if (!flashesChanged) return;
  flashesChanged = false;
  std::vector<cIsoView::cBlastMark> shown;
  for (const cFlash& f : flashes) shown.push_back(f.blast);
  map().setFlashes(shown);
  setRedraw(REDRAW_MAP);
}

// The unit toolbar names where its unit stands while it walks.
void cGameEngine::followSelectedUnit()
{
  if (toolbarState != 4 || !lastSelected || lastSelected == noObject) return;
  const std::string now = positionText(lastSelected->myPosition(), lastSelected->myDim());
  if (now == shownPosition) return;
  shownPosition = now;
  toolbars[3].setItemsTextT(3, now.c_str(), gameFont, toolbarTextColour());
  setRedraw(REDRAW_PANEL);
}
