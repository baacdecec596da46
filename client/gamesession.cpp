#include "client/gamesession.h"

#include <allegro.h>

#include "client/context.h"
#include "net/player.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"

cGameSession::cGameSession(cClientContext& context, cPlayer* player,
                           std::unique_ptr<cIsoViewRect> view)
    : context(context),
      player(player),
      view(std::move(view)),
      layout(screenLayout(SCREEN_W, SCREEN_H))
{
}

cGameSession::~cGameSession() = default;

cIsoView& cGameSession::map() { return view->getView(); }

void cGameSession::showScreen(cGameToolbars& toolbars)
{
  screen = std::make_unique<cGameScreen>(layout, context.gameFont, toolbars, map());
  map().setLocalPlayer(player->myID());
  map().setFlashes({});
  screen->myMinimap().setOwners(&map(), player->myID());
  // Over the bottom panel the pointer scrolls the view only at the screen's very edge.
  view->setQuietArea(cRect(cPoint(0, layout.viewArea.bottom()), layout.screenRect.bottomRight));
}
