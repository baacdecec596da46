#ifndef KORVANE_GUI_BUTTON_H
#define KORVANE_GUI_BUTTON_H
// The clickable button with its four looks and an optional caption.
#include "gui/guielement.h"
#include "gui/text.h"

struct BITMAP;
struct FONT;
class cMouse;

// A clickable element with four looks (idle, hover, pressed, pressed-outside). Type 0 tints
// the picture it captured under itself at its first drawing; other types draw a bevelled box
// or the state bitmaps. It redraws itself on the screen whenever its mouse state changes.
class cButton : public cGUIElement {
public:
  cButton();
  cButton(cPoint topLeft, cPoint bottomRight);
  // picture (may be null, borrowed) becomes the state-0 bitmap; caption (may be null) a
  // black, centred, shadowed caption in the built-in font.
  cButton(int type, cRect r, BITMAP* picture, const char* caption);
  ~cButton() override;
  cButton(const cButton& other);
  cButton& operator=(const cButton& other);

  int doMe() override;  // reads the mouse and runs doMe(m)
  void doMe(const cMouse& m);
  void draw(BITMAP* target) override;
  void draw(BITMAP* target, int newState);
  int myMessage() const override { return message; }
  void clearMessage() override { message = 0; }
  void handleKey(int) override {}
  int myType() const { return type; }

  // Caption. On a type-0 button each change makes it capture its face again.
  void setTextText(const char* text);  // creates a white caption when there is none
  void setTextColour(long c);
  void setTextFont(FONT* f);
  void setText(const char* text, long colour, FONT* f);
  bool hasTText() const { return hasLabel; }
  int myTextColour() const;
  FONT* myTextFont() const;
  const char* myTextText() const;

  void setBColourL(long c) { colourL = c; }
  void setBColourM(long c) { colourM = c; }
  void setBColourH(long c) { colourH = c; }
  int myBColourL() const { return colourL; }
  int myBColourM() const { return colourM; }
  int myBColourH() const { return colourH; }

  // Bitmaps per mouse state 0..3, borrowed; a null bitmap clears the slot. Other states
  // are ignored.
  void setBitmap(int forState, BITMAP* b);
  void clearBitmap();
  bool hasBitmap(int forState) const;
  BITMAP* myBitmap(int forState) const;

  // Moves and resizes; a new face is captured at the next drawing and the type becomes 0.
  void setBounds(cRect r);
  bool hasButtonFaceStoredF() const { return faceOwned; }

private:
  void copyFrom(const cButton& other);
  void makeCaption(const char* text, long colour, FONT* f);
  void newFace();
  void releaseFace();
  void drawDrawn(BITMAP* target);
  void drawBitmap(BITMAP* target);
  void drawLitScratch(BITMAP* target, int r, int g, int b, int a, int amount, bool lined);
  void drawFace(BITMAP* target);
  void captureFace(BITMAP* target);

  int type = 0;
  int lastState = 0;
  int colourH, colourM, colourL;
  cText* label = nullptr;  // owned
  bool hasLabel = false;
  BITMAP* bitmaps[4] = {};
  bool hasBitmaps[4] = {};
  BITMAP* face = nullptr;
  bool faceCaptured = false;
  bool faceOwned = false;
};

#endif
