#ifndef KORVANE_GUI_TOOLBAR_H
#define KORVANE_GUI_TOOLBAR_H
// A fixed row (or column) of buttons polled as one element; reports the clicked item.
#include "gui/button.h"

class cToolbar : public cGUIElement {
public:
  cToolbar();                // one item
  explicit cToolbar(int n);  // n items; none when n < 1
  ~cToolbar() override;
  cToolbar(const cToolbar& other);
  cToolbar& operator=(const cToolbar& other);

  // Logs every item's rectangle.
  void testitems() const;
  int myCount() const { return count; }

  // Item setters and getters ignore indices outside 0 .. count - 1.
  // Item i becomes a new type-0 button over r with an empty caption; call it first.
  void setItemsPos(int i, cRect r);
  void setItemsImage(int i, BITMAP* b);  // borrowed
  void clearItemsImage(int i);
  void setItemsText(int i, const char* text, int colour);
  void setItemsTextT(int i, const char* text, FONT* f, int colour);
  void setEnabled(int i, bool e);
  cButton* getItemNo(int i);  // null outside the range
  // Item i's message of this poll; 0 when it is disabled or i is out of range.
  int doItem(int i);
  int doItem(int i, const cMouse& m);  // the same with a given reading

  int doMe() override;         // message: the highest clicked index, or -1
  void forgetEarlierClicks();  // for every item
  void doMe(const cMouse& m);  // the same with one reading for every item
  int myMessage() const override { return message; }
  void clearMessage() override { message = -1; }
  void handleKey(int) override {}
  // Every item in state 0 (which also resets their mouse states).
  void draw(BITMAP* target) override;

private:
  bool valid(int i) const { return i >= 0 && i < count; }
  void makeItems(int n);

  int count = 0;
  cButton* items = nullptr;  // owned array of count buttons
};

#endif
