#ifndef KORVANE_CLIENT_CHATLINE_H
#define KORVANE_CLIENT_CHATLINE_H
// The game screen's chat box: one line of up to cPlayer::maxChatText printable characters,
// typed while it is open. Return sends the line, Esc cancels it; both close the box.
#include <string>

struct BITMAP;
struct FONT;

class cChatLine {
public:
  enum eResult { chatTyping, chatSend, chatCancel };

  void open();  // empty and open
  void close();
  bool isOpen() const { return shown; }
  // A key as the keyboard handler gives it (scan code in bits 8-15, ASCII in bits 0-7).
  eResult handleKey(int key);
  const std::string& myText() const { return text; }
  // Whether the box must be drawn again; cleared by draw.
  bool needsDrawing() const { return dirty; }

  // The box at (x, y), w pixels wide, in the font f, with a caret after the text.
  void draw(BITMAP* target, int x, int y, int w, FONT* f);
  static int heightFor(FONT* f);  // pixels

private:
  std::string text;
  bool shown = false;
  bool dirty = false;
};

#endif
