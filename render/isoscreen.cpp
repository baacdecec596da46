#include "render/isoscreen.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>

#include "gui/boxbutton.h"
#include "gui/guicollection.h"
#include "gui/toolbar.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"

namespace {

void fillRect(BITMAP* target, const cRect& r, int colour)
{
  if (!r.isEmpty()) rectfill(target, r.left(), r.top(), r.right() - 1, r.bottom() - 1, colour);
}

void copyRect(BITMAP* from, BITMAP* to, const cRect& r)
{
  if (!r.isEmpty()) blit(from, to, r.left(), r.top(), r.left(), r.top(), r.myWidth(), r.myHeight());
}

void prepareMinimap(const cIsoScreen& s)
{
  if (!s.minimap) return;
  s.minimap->setRedraw();
  if (!s.view) return;
  const cRect bounds = s.view->getBounds();
  // From the offset about to be drawn: the view's own start moves only when it draws, after
  // this.
  s.minimap->setState(s.view->getView().getZoom(),
                      s.view->getOffset() + cPoint(bounds.myWidth() / 2, 0),
                      cPoint(bounds.myWidth(), bounds.myHeight()));
}

void showOneToolbar(const cIsoScreen& s)
{
  if (!s.toolbars) return;
  for (int i = 0; i < 4; ++i) {
    cToolbar& bar = s.toolbars[i];
    if (i + 1 == s.toolbarState) {
      bar.enable();
      bar.show();
    } else {
      bar.hide();
      bar.disable();
    }
  }
}

}  // namespace

cRect statusBarRect(const cIsoScreen& s)
{
  return cRect(s.screenRect.topLeft, cPoint(s.viewArea.right(), s.viewArea.top()));
}

cRect panelRect(const cIsoScreen& s)
{
  return cRect(cPoint(s.viewArea.left(), s.viewArea.bottom()), s.screenRect.bottomRight);
}

cRect minimapCopyRect(const cIsoScreen& s)
{
  const cRect panel = panelRect(s);
  const int h = panel.myHeight();
  const cPoint corner(panel.right() - h - 5, panel.top() + 1);
  return cRect(corner, corner + cPoint(h - 1, h));
}

void drawStatusBar(const cIsoScreen& s)
{
  BITMAP* target = s.scratch;
  const cRect strip = statusBarRect(s);
  boxButton(false, s.panelBackground, strip).drawMe(target, true);
  const int depth = bitmap_color_depth(target);
  textprintf_ex(target, font, 2, 4, makecol_depth(depth, 255, 255, 255), -1,
                "Mouse: (%.2i,%.2i) Mode: %i Isopoint: (%i, %i) Building %i", s.mouse.pos.x,
                s.mouse.pos.y, s.mode, s.cursorTile.x, s.cursorTile.y, s.selectedID);
  // Right-aligned, clear of the connection indicator and the close button (the last 27
  // pixels).
  char version[64];
  snprintf(version, sizeof version, "Version %s", s.version ? s.version : "");
  textout_ex(target, font, version, s.screenRect.right() - 33 - text_length(font, version), 4,
             makecol_depth(depth, 160, 176, 208), -1);
  if (s.gui) s.gui->redraw(target, strip);
}

void drawPanel(const cIsoScreen& s)
{
  boxButton(false, s.panelBackground, panelRect(s)).drawMe(s.scratch, true);
  showOneToolbar(s);
  if (s.gui) s.gui->draw(s.scratch);
}

void drawMessageOverlay(const cIsoScreen& s)
{
  if (!s.messageBitmap || s.messageHeight <= 0) return;
  // Darkened to about a third behind the text: white then stands out at 4.5 : 1 or more
  // even over the lightest terrain.
  const int x = s.viewArea.left(), y = s.viewArea.top();
  const int h = std::min(s.messageHeight + 2, s.viewArea.myHeight());
  drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
  set_trans_blender(0, 0, 0, 176);
  rectfill(s.scratch, x, y, x + s.messageBitmap->w - 1, y + h - 1, makecol(0, 0, 0));
  solid_mode();
  draw_sprite(s.scratch, s.messageBitmap, x, y);
}

void drawMapView(const cIsoScreen& s)
{
  if (s.view) s.view->draw(s.scratch);
  drawMessageOverlay(s);
}

void copyRedrawn(int parts, const cIsoScreen& s, BITMAP* destination)
{
  const bool map = parts & (REDRAW_CURSOR | REDRAW_MAP);
  if (map && (parts & REDRAW_STATUS) && (parts & REDRAW_PANEL)) {
    copyRect(s.scratch, destination, s.screenRect);
    return;
  }
  if (map) copyRect(s.scratch, destination, s.viewArea);
  if (parts & REDRAW_PANEL) copyRect(s.scratch, destination, panelRect(s));
  if (parts & REDRAW_STATUS) {
    const cRect strip = statusBarRect(s);
    copyRect(s.scratch, destination,
             cRect(strip.topLeft, strip.topLeft + cPoint(s.viewArea.myWidth(), strip.myHeight())));
  }
  if (parts & REDRAW_WIDGETS) copyRect(s.scratch, destination, minimapCopyRect(s));
}

bool drawIsoScreen(int parts, const cIsoScreen& s, BITMAP* destination)
{
  if (!s.scratch || !destination || s.scratch->w < s.screenRect.right() ||
      s.scratch->h < s.screenRect.bottom())
    return false;
  if (parts & REDRAW_WIDGETS) prepareMinimap(s);
  // The scratch bitmap lives on: only the strips drawn now are cleared.
  if (parts & REDRAW_STATUS) fillRect(s.scratch, statusBarRect(s), 0);
  if (parts & REDRAW_PANEL) fillRect(s.scratch, panelRect(s), 0);
  if (parts & REDRAW_STATUS) drawStatusBar(s);
  if (parts & REDRAW_PANEL)
    drawPanel(s);
  else if ((parts & REDRAW_WIDGETS) && s.gui)
    s.gui->redraw(s.scratch);
  if (parts & (REDRAW_CURSOR | REDRAW_MAP)) drawMapView(s);
  const bool onScreen = destination == screen;
  if (onScreen) {
    hideMouse();
    acquire_screen();
  }
  copyRedrawn(parts, s, destination);
  if (onScreen) {
    release_screen();
    showMouse();
  }
  return true;
}
