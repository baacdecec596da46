#include "client/viewcontrol.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>

#include "client/cgameengine.h"
#include "client/gamesession.h"
#include "client/pacing.h"
#include "net/player.h"
#include "render/isoscreen.h"
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

void cViewControl::openOnOwnForces()
{
  cIsoView& map = session.map();
  const long owner = session.player->myID();
  cPoint tile(map.getMaxPos().x / 2, map.getMaxPos().y / 2);
  if (!ownedBy(map.getUnits(), owner, tile)) ownedBy(map.getBuildings(), owner, tile);
  session.view->centreOn(centreOffsetFor(tile, session.layout.viewArea.myHeight(), map.getZoom()));
  session.view->checkScroll();
}

void cViewControl::increase_zoom()
{
  const int zoom = session.map().getZoom();
  if (zoom > 19) return;
  session.view->setZoom(zoom + 1);
  cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  char text[40];
  snprintf(text, sizeof text, "Increasing zoom... %i", zoom + 1);
  session.addMessage(text);
}

void cViewControl::decrease_zoom()
{
  const int zoom = session.map().getZoom();
  if (zoom < 2) return;
  session.view->setZoom(zoom - 1);
  cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  char text[40];
  snprintf(text, sizeof text, "Decreasing zoom... %i", zoom - 1);
  session.addMessage(text);
}

bool cViewControl::arrowHeld(int scanCode)
{
  return keyboard_driver && scanCode > 0 && scanCode < KEY_MAX && ::key[scanCode];
}

void cViewControl::scrollByTap(int scanCode, cPoint step)
{
  if (arrowHeld(scanCode)) return;
  session.view->externalScroll(step);
  cGameEngine::setRedraw(REDRAW_MAP);
}

// The keyboard's repeats (readkey) are left to taps.
void cViewControl::scrollByHeldKeys()
{
  const cPoint step = arrowScroll(
      arrowHeld(KEY_UP) || arrowHeld(KEY_8_PAD), arrowHeld(KEY_DOWN) || arrowHeld(KEY_2_PAD),
      arrowHeld(KEY_LEFT) || arrowHeld(KEY_4_PAD), arrowHeld(KEY_RIGHT) || arrowHeld(KEY_6_PAD));
  if (step != cPoint()) session.view->externalScroll(step);
}

void cViewControl::scrollByEdges()
{
  if (session.view->checkScroll()) cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
}

void cViewControl::collectBlasts()
{
  const int64_t until = clock.now() + flashMicros;
  for (const cGamePlayMap::cBlastMark& b : session.map().takeBlasts()) {
    flashes.push_back(cFlash{b, until});
    flashesChanged = true;
  }
}

void cViewControl::ageFlashes()
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
  session.map().setFlashes(shown);
  cGameEngine::setRedraw(REDRAW_MAP);
}
