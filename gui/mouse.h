#ifndef KORVANE_GUI_MOUSE_H
#define KORVANE_GUI_MOUSE_H
// The widgets that follow the mouse: labels, buttons, text boxes and selection boxes.
#include "gui/guicollection.h"
#include "gui/guielement.h"

struct BITMAP;
struct FONT;
class cList;

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

// A one-line editable field of at most 39 characters: caret, drag selection, editing keys,
// and Tab to the next field. Only printable ASCII (32..126) is typed.
class cTextBox : public cGUIElement {
public:
  cTextBox(const char* text, cRect r);  // built-in font, white on black
  cTextBox(const char* text, cRect r, FONT* f, long textColour);
  cTextBox(const char* text, cRect r, FONT* f, long textColour, long backColour);
  ~cTextBox() override = default;

  const char* myText() const { return text; }
  int hasKeyHandler() override;  // 3 once after Tab; 2 while edited, 4 otherwise
  void switchTo() override;      // edits, with the whole text selected
  int doMe() override;
  void doMe(const cMouse& m);  // the frame's work for a given reading
  void handleKey(int key) override;
  void draw(BITMAP* target) override;
  int myMessage() const override { return message; }
  void clearMessage() override { message = 0; }

  int myCursor() const { return cursor; }
  int myAnchor() const { return anchor; }  // -1: no selection
  bool isActive() const { return active; }
  int myDragState() const { return dragState; }

  // Caret position nearest to p (relative to the text origin) closer than the box width
  // less 4, or -1.
  int getClosestCursorPos(cPoint p) const;
  int textLength(const char* s, int from, int n) const;  // pixels
  void moveCursorLeft();
  void moveCursorRight();
  void shiftLText(int a, int b);  // characters a..b one place left, removing a - 1
  void shiftRText(int a, int b);  // characters a..b one place right; never past index 39

protected:
  void processReading(const cMouse& m);
  void redrawOnScreenIfChanged(int oldState);
  void drawField(BITMAP* target, int fieldWidth) const;
  virtual bool keypadMoves(int key) const;
  int positionUnder(cPoint screenPos) const;

  static constexpr int capacity = 40;
  char text[capacity] = {};
  FONT* font = nullptr;
  int textColour = 0;
  int backColour = 0;
  int cursor = 0;
  int anchor = -1;
  int dragState = 0;  // 0 idle, 2 pressed inside, 10 selecting
  int length = 0;
  bool active = false;
  bool drawnActive = false;
  bool dirty = false;
  bool released = false;

private:
  void init(const char* t, FONT* f, long textCol, long backCol);
  bool removeSelection();
  void insertCharacter(char c);
  void deleteForward();
  void deleteBackward();
  void typeKey(int key);
  void processInside(int oldMessage);
  void processOutside();
};

// A text box with a drop-down arrow at its right end. The arrow does nothing and the list
// is never shown.
class cSelectTextBox : public cTextBox {
public:
  cSelectTextBox(const char* text, cRect r, cList* list);
  cSelectTextBox(const char* text, cRect r, FONT* f, long textColour, cList* list);
  cSelectTextBox(const char* text, cRect r, FONT* f, long textColour, long backColour,
                 cList* list);
  ~cSelectTextBox() override;
  cSelectTextBox(const cSelectTextBox&) = delete;
  cSelectTextBox& operator=(const cSelectTextBox&) = delete;

  int doMe() override;
  void draw(BITMAP* target) override;
  void makeButton();
  // An s x s picture (s at least 1) with a black downward triangle over a grey copy.
  static BITMAP* createArrow(int size);
  const cButton& myArrowButton() const { return arrowButton; }

protected:
  bool keypadMoves(int key) const override;

private:
  BITMAP* arrowNormal = nullptr;  // the four arrow pictures are owned
  BITMAP* arrowPressed = nullptr;
  BITMAP* arrowHover = nullptr;
  BITMAP* arrowPressedOutside = nullptr;
  cButton arrowButton;
  cList* list = nullptr;  // borrowed; read by nothing
};

#endif
