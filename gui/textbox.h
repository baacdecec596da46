#ifndef KORVANE_GUI_TEXTBOX_H
#define KORVANE_GUI_TEXTBOX_H
// Text entry: the one-line text box and the selection box built on it.
#include "gui/button.h"
#include "gui/guielement.h"

struct BITMAP;
struct FONT;
class cList;
class cMouse;

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
  cSelectTextBox(const char* text, cRect r, FONT* f, long textColour, long backColour, cList* list);
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
