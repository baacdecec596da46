#ifndef KORVANE_GUI_GUICOLLECTION_H
#define KORVANE_GUI_GUICOLLECTION_H
// A screen's widgets: polled once per frame, drawn all or by redraw marks, and the keyboard
// focus moved among them by their key modes.
#include "gui/guielement.h"

class cGUIElementNode {
public:
  explicit cGUIElementNode(cGUIElement* e) : data(e) {}  // owned
  cGUIElementNode(bool owned, cGUIElement* e) : data(e), owned(owned) {}
  ~cGUIElementNode();  // deletes the element when owned
  cGUIElementNode(const cGUIElementNode&) = delete;
  cGUIElementNode& operator=(const cGUIElementNode&) = delete;

  cGUIElement* myData() const { return data; }
  bool isOwned() const { return owned; }
  cGUIElementNode* getNext() const { return next; }
  cGUIElementNode* getPrev() const { return prev; }
  void setNext(cGUIElementNode* n) { next = n; }
  void setPrev(cGUIElementNode* p) { prev = p; }

private:
  cGUIElement* data;
  bool owned = true;
  cGUIElementNode* next = nullptr;
  cGUIElementNode* prev = nullptr;
};

class cGUICollection : public cGUIElement {
public:
  // Reads the keyboard in doMe; discards a key that is already waiting.
  cGUICollection();
  // Reads no keys; `area` is kept only.
  explicit cGUICollection(cRect area);
  ~cGUICollection() override;
  cGUICollection(const cGUICollection&) = delete;
  cGUICollection& operator=(const cGUICollection&) = delete;

  // Appends; the collection owns the element. An element it already owns is stored unowned
  // the second time, so that it is deleted once.
  void addElement(cGUIElement* e);
  void addElement(bool owned, cGUIElement* e);
  void removeElement(cGUIElement*) {}
  void removeElement(cGUIElementNode*) {}

  bool isEmpty() const { return first == nullptr; }
  int number() const;
  cGUIElementNode* getFirstNode() const { return first; }
  cGUIElementNode* getLastNode() const { return last; }
  cGUIElementNode* myFocus() const { return focus; }

  // One frame: reads at most one key (unless noKeyboard) and runs dispatch with it.
  int doMe() override;
  // One frame with `key` pending (noKey: none): focus, key delivery, every enabled
  // element's doMe and handler.
  void dispatch(int key);
  static constexpr int noKey = -1;

  void draw(BITMAP* target) override;       // every shown element; marks unchanged
  void redraw(BITMAP* target);              // shown and marked elements; clears their marks
  bool hasRedraw() const;                   // a shown element is marked for redraw
  bool redraw(BITMAP* target, cRect area);  // shown elements meeting area; true if any drawn

  int myMessage() const override { return 0; }
  void clearMessage() override {}
  void handleKey(int) override {}
  void switchTo() override {}

private:
  bool owns(const cGUIElement* e) const;
  void visitForKeys(cGUIElementNode* node, int& key);
  void takeFocus(cGUIElementNode* node);
  void forgetSharedFocus();

  bool noKeyboard = false;
  cRect area;
  cGUIElementNode* first = nullptr;
  cGUIElementNode* last = nullptr;
  cGUIElementNode* focus = nullptr;

  // Shared by all collections: a released focus waiting for the next switchable element,
  // the node that released it, and the collection that node belongs to.
  static bool findnext;
  static cGUIElementNode* lastCurrent;
  static cGUICollection* switchOwner;
};

// The engine's receiver of keys that no text box takes: a hidden, passive element.
class cKeyboardHandler : public cGUIElement {
public:
  cKeyboardHandler() : cGUIElement(true, true) {}
  ~cKeyboardHandler() override = default;

  int hasKeyHandler() override;  // 3 once after a Tab, otherwise 1
  void handleKey(int key) override;
  int doMe() override;  // message 1 while a key is stored
  int myMessage() const override { return message; }
  void clearMessage() override { message = 0; }
  void draw(BITMAP*) override {}
  // The stored key, once: afterwards 0 (and the message 0).
  int lastKeyPress();

private:
  int lastKey = 0;
  bool tabPressed = false;
};

#endif
