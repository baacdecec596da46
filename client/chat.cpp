// The game screen's texts: those the server sends, and the chat box that the main toolbar's
// "Message" item opens over the top of the map view.
#include <allegro.h>

#include <string>

#include "client/cgameengine.h"
#include "gui/fonts.h"
#include "gui/mouse.h"
#include "net/player.h"
#include "render/isoview.h"
#include "world/host.h"

void cGameEngine::showText(const char* text)
{
  addMessage(text);
  hostLog("Message: %s\n", text);
  if (fp) fflush(fp);  // a text is read by whoever watches the log, at once
}

void cGameEngine::showReceivedTexts()
{
  std::string text;
  while (map().takeText(text)) showText(text.c_str());
}

// A building waiting to be placed is given up: the next map click must not place it.
void cGameEngine::openChat()
{
  if (mode == 2) {
    map().clearToBuild();
    mode = 1;
    setRedraw(REDRAW_STATUS);
  }
  chat.open();
  drawChat();
}

void cGameEngine::handleChatKey(cPlayer* player, int key)
{
  switch (chat.handleKey(key)) {
    case cChatLine::chatTyping:
      if (chat.needsDrawing()) drawChat();
      return;
    case cChatLine::chatSend: sendChat(player); break;
    case cChatLine::chatCancel: break;
  }
  chat.close();
  setRedraw(REDRAW_MAP);
}

// The other players see "name: text" from the server; the sender sees the same line here.
void cGameEngine::sendChat(cPlayer* player)
{
  const std::string& text = chat.myText();
  if (text.empty()) return;
  const std::string line = *player->getName() ? player->getName() + std::string(": ") + text : text;
  if (player->isConnected()) player->sendChat(text.c_str());
  showText(line.c_str());
}

// Just below the message canvas, so that the texts stay readable while one is typed.
void cGameEngine::drawChat()
{
  const int top = viewArea.top() + (messageBitmap ? messageBitmap->h : 0) + 2;
  hideMouse();
  chat.draw(screen, viewArea.left() + 4, top, viewArea.myWidth() - 8, gameFont);
  showMouse();
}
