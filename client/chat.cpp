// The game screen's texts: those the server sends, and the chat box that the main toolbar's
// "Message" item opens over the top of the map view.
#include <allegro.h>

#include <string>

#include "client/context.h"
#include "client/game.h"
#include "gui/fonts.h"
#include "gui/mouse.h"
#include "net/player.h"
#include "render/isoview.h"
#include "world/host.h"

void cGame::showText(const char* text)
{
  addMessage(text);
  hostLog("Message: %s\n", text);
  context.log.flushLog();  // a text is read by whoever watches the log, at once
}

void cGame::showReceivedTexts()
{
  std::string text;
  while (map().takeText(text)) showText(text.c_str());
}

// A building waiting to be placed is given up: the next map click must not place it.
void cGame::openChat()
{
  if (mode == MODE_BUILD) {
    map().clearToBuild();
    mode = MODE_SELECT;
    setRedraw(REDRAW_STATUS);
  }
  chat.open();
  drawChat();
}

void cGame::handleChatKey(int key)
{
  switch (chat.handleKey(key)) {
    case cChatLine::chatTyping:
      if (chat.needsDrawing()) drawChat();
      return;
    case cChatLine::chatSend: sendChat(); break;
    case cChatLine::chatCancel: break;
  }
  chat.close();
  setRedraw(REDRAW_MAP);
}

// The other players see "name: text" from the server; the sender sees the same line here.
void cGame::sendChat()
{
  const std::string& text = chat.myText();
  if (text.empty()) return;
  const std::string line = *player->getName() ? player->getName() + std::string(": ") + text : text;
  if (player->isConnected()) player->sendChat(text.c_str());
  showText(line.c_str());
}

// Just below the message canvas, so that the texts stay readable while one is typed.
void cGame::drawChat()
{
  const cRect& viewArea = layout.viewArea;
  const int top = viewArea.top() + gameScreen->overlayHeight() + 2;
  hideMouse();
  chat.draw(screen, viewArea.left() + 4, top, viewArea.myWidth() - 8, context.gameFont);
  showMouse();
}
