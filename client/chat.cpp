// The game screen's texts: those the server sends, and the chat box.
#include "client/chat.h"

#include <allegro.h>

#include <string>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/gamesession.h"
#include "gui/fonts.h"
#include "gui/mouse.h"
#include "net/player.h"
#include "render/isoscreen.h"
#include "render/isoview.h"
#include "world/host.h"

void cChat::showText(const char* text)
{
  session.addMessage(text);
  hostLog("Message: %s\n", text);
  session.context.log.flushLog();  // a text is read by whoever watches the log, at once
}

void cChat::showReceivedTexts()
{
  std::string text;
  while (session.map().takeText(text)) showText(text.c_str());
}

void cChat::open()
{
  line.open();
  draw();
}

void cChat::handleKey(int key)
{
  switch (line.handleKey(key)) {
    case cChatLine::chatTyping:
      if (line.needsDrawing()) draw();
      return;
    case cChatLine::chatSend: send(); break;
    case cChatLine::chatCancel: break;
  }
  line.close();
  cGameEngine::setRedraw(REDRAW_MAP);
}

void cChat::redrawOver(int drawnParts)
{
  if (line.isOpen() && (drawnParts || line.needsDrawing())) draw();
}

// The other players see "name: text" from the server; the sender sees the same line here.
void cChat::send()
{
  const std::string& text = line.myText();
  if (text.empty()) return;
  cPlayer& player = *session.player;
  const std::string shown = *player.getName() ? player.getName() + std::string(": ") + text : text;
  if (player.isConnected()) player.sendChat(text.c_str());
  showText(shown.c_str());
}

// Just below the message canvas, so that the texts stay readable while one is typed.
void cChat::draw()
{
  const cRect& viewArea = session.layout.viewArea;
  const int top = viewArea.top() + session.screen->overlayHeight() + 2;
  hideMouse();
  line.draw(screen, viewArea.left() + 4, top, viewArea.myWidth() - 8, session.context.gameFont);
  showMouse();
}
