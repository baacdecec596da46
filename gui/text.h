#ifndef KORVANE_GUI_TEXT_H
#define KORVANE_GUI_TEXT_H
// A one-line label drawn in a font and a colour.
#include "gui/guielement.h"

struct BITMAP;
struct FONT;

// A one-line label. Never polled (constructed disabled). Null fonts and texts read as
// Allegro's built-in font and "".
class cText : public cGUIElement {
public:
  cText(const char* text, cRect r);  // built-in font, white
  cText(const char* text, cRect r, FONT* f, long colour);
  cText(const char* text, cRect r, FONT* f, long colour, bool centered, bool shadow,
        bool transparent);
  ~cText() override = default;

  void draw(BITMAP* target) override { draw(target, cPoint(0, 0)); }
  // Draws with the rectangle moved by offset, clipped to it.
  void draw(BITMAP* target, cPoint offset);
  // Half of each component above mid-grey; otherwise white.
  static int getShadowColour(long colour);

  void setText(const char* t);  // keeps at most 199 characters
  void setFont(FONT* f) { font = f; }
  void setColour(long c) { colour = c; }
  void setShadow() { shadow = true; }
  void setCentered() { centered = true; }
  void setTransparent() { transparent = true; }
  const char* myText() const { return text; }
  FONT* myFont() const { return font; }
  int myColour() const { return colour; }

  int doMe() override { return 0; }
  void handleKey(int) override {}
  int myMessage() const override { return message; }
  void clearMessage() override {}

private:
  char text[200] = "";
  FONT* font = nullptr;
  int colour = 0;
  bool centered = false;
  bool shadow = false;
  bool transparent = false;
};

#endif
