#include "client/chatline.h"

#include <allegro.h>

#include "net/player.h"

void cChatLine::open()
{
  text.clear();
  shown = true;
  dirty = true;
}

void cChatLine::close()
{
  shown = false;
  dirty = false;
}

cChatLine::eResult cChatLine::handleKey(int key)
{
  const int scan = (key >> 8) & 0xff, ch = key & 0xff;
  if (scan == KEY_ESC) return chatCancel;
  if (scan == KEY_ENTER || scan == KEY_ENTER_PAD || ch == '\r' || ch == '\n') return chatSend;
  if (scan == KEY_BACKSPACE || ch == 8) {
    if (!text.empty()) text.pop_back();
  } else if (ch >= 32 && ch <= 126 && int(text.size()) < cPlayer::maxChatText) {
    text += char(ch);
  } else {
    return chatTyping;
  }
  dirty = true;
  return chatTyping;
}

int cChatLine::heightFor(FONT* f) { return text_height(f) + 6; }

// The end of a line longer than the box stays in view: the caret is where the player types.
void cChatLine::draw(BITMAP* target, int x, int y, int w, FONT* f)
{
  const int h = heightFor(f);
  rectfill(target, x, y, x + w - 1, y + h - 1, makecol(0, 0, 0));
  rect(target, x, y, x + w - 1, y + h - 1, makecol(244, 198, 90));
  const std::string label = "Say: ";
  std::string shownText = text + "_";
  const int room = w - 8 - text_length(f, label.c_str());
  while (shownText.size() > 1 && text_length(f, shownText.c_str()) > room) shownText.erase(0, 1);
  textout_ex(target, f, (label + shownText).c_str(), x + 4, y + 3, makecol(255, 255, 255), -1);
  dirty = false;
}
