#ifndef KORVANE_GUI_CREDITS_H
#define KORVANE_GUI_CREDITS_H
// The credits roll: lines of text, pictures and gaps that scroll up the whole screen.
#include <functional>

#include "world/pointutil.h"

struct BITMAP;
struct FONT;

class cCreditsElement {
public:
  virtual ~cCreditsElement() = default;
  virtual int myHeight() const = 0;                        // pixels taken in the roll
  virtual void draw(BITMAP* target, cPoint at) const = 0;  // top-left corner at `at`
  virtual cCreditsElement* duplicate() const = 0;          // a new copy, owned by the caller
  virtual char* toString() const = 0;                      // new[] text, owned by the caller

protected:
  int kind = 0;
};

// A picture (borrowed); without one it is 0 pixels high and draws nothing.
class cCreditsElementBitmap : public cCreditsElement {
public:
  cCreditsElementBitmap() { kind = 2; }
  explicit cCreditsElementBitmap(BITMAP* picture) : picture(picture) { kind = 2; }
  int myHeight() const override;
  void draw(BITMAP* target, cPoint at) const override;
  cCreditsElement* duplicate() const override { return new cCreditsElementBitmap(*this); }
  char* toString() const override;

private:
  BITMAP* picture = nullptr;
};

// A line of text (font and text borrowed); colour in the current depth.
class cCreditsElementText : public cCreditsElement {
public:
  cCreditsElementText();  // Allegro's font, "", colour 0
  cCreditsElementText(FONT* f, const char* text, int colour);
  int myHeight() const override;
  void draw(BITMAP* target, cPoint at) const override;
  cCreditsElement* duplicate() const override { return new cCreditsElementText(*this); }
  char* toString() const override;

  void setFont(FONT* f) { font = f; }
  FONT* getFont() const { return font; }
  void setText(const char* t) { text = t ? t : ""; }
  const char* getText() const { return text; }
  void setColour(int c) { colour = c; }
  int getColour() const { return colour; }

protected:
  FONT* font;
  const char* text = "";
  int colour = 0;
};

// A line of text with a gap of `spacing` pixels below it.
class cCreditsElementTextWithSpacing : public cCreditsElementText {
public:
  cCreditsElementTextWithSpacing() { kind = 3; }
  cCreditsElementTextWithSpacing(FONT* f, const char* text, int colour, int spacing)
      : cCreditsElementText(f, text, colour), spacing(spacing)
  {
    kind = 3;
  }
  int myHeight() const override;
  cCreditsElement* duplicate() const override { return new cCreditsElementTextWithSpacing(*this); }
  char* toString() const override;
  void setSpacing(int s) { spacing = s; }
  int getSpacing() const { return spacing; }

private:
  int spacing = 0;
};

// An empty gap of `spacing` pixels.
class cCreditsElementSpacer : public cCreditsElement {
public:
  cCreditsElementSpacer() { kind = 3; }
  explicit cCreditsElementSpacer(int spacing) : spacing(spacing) { kind = 3; }
  int myHeight() const override { return spacing; }
  void draw(BITMAP*, cPoint) const override {}
  cCreditsElement* duplicate() const override { return new cCreditsElementSpacer(*this); }
  char* toString() const override;

private:
  int spacing = 0;
};

class cCreditsListNode {
public:
  cCreditsListNode(bool owned, cCreditsElement* e) : data(e), owned(owned) {}
  ~cCreditsListNode();  // deletes the element when owned
  cCreditsListNode(const cCreditsListNode&) = delete;
  cCreditsListNode& operator=(const cCreditsListNode&) = delete;
  cCreditsElement* myData() const { return data; }
  cCreditsListNode* getNext() const { return next; }
  void setNext(cCreditsListNode* n) { next = n; }

private:
  cCreditsElement* data;
  bool owned;
  cCreditsListNode* next = nullptr;
};

// The roll's elements in order. One element may stand in several unowned nodes.
class cCredits {
public:
  cCredits() = default;
  ~cCredits();
  cCredits(const cCredits&) = delete;
  cCredits& operator=(const cCredits&) = delete;

  void addElement(cCreditsElement* e) { addElement(true, e); }
  void addElement(bool owned, cCreditsElement* e);
  int number() const;
  bool isEmpty() const { return first == nullptr; }
  cCreditsListNode* getFirstNode() const { return first; }

  // Scrolls the roll up the screen by `speed` pixels a frame at 60 frames a second, until it
  // has passed, a key is pressed (and consumed) or a mouse button is released.
  void doMe(int speed);
  // How many frames the last doMe drew.
  int framesDrawn() const { return frames; }

private:
  int drawFrame(BITMAP* page, cCreditsListNode*& head, int& skipped, int pos) const;

  cCreditsListNode* first = nullptr;
  cCreditsListNode* last = nullptr;
  int frames = 0;
};

// The picture of a building kind (borrowed), or null when there is none.
using cBuildingPictures = std::function<BITMAP*(int kind)>;

// Builds the client's own roll (fonts from "times.ttf" or currentfont, pictures of building
// kinds 3 to 5 from `pictures`, none without it), runs it at speed 3 and frees it.
void rollCredits(const cBuildingPictures& pictures = nullptr);

#endif
