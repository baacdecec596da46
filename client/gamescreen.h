#ifndef KORVANE_CLIENT_GAMESCREEN_H
#define KORVANE_CLIENT_GAMESCREEN_H
// The widgets and pictures of one game's screen: the quit button, the places of the bottom
// panel's toolbars, the minimap, the connection indicator, the keyboard handler, the message
// canvas with its overlay, the panel texture and the bitmap the screen is composed in.
// Single-threaded.
#include <memory>

#include "client/enginerules.h"
#include "gui/button.h"
#include "gui/canvas.h"
#include "gui/guicollection.h"

class cIsoView;
class cMinimap;
struct cGameToolbars;
struct cIsoScreen;
struct BITMAP;
struct FONT;

class cGameScreen {
public:
  // Widgets laid out for the screen; the toolbars and the map (whose layers the minimap
  // shows) are borrowed and outlive the screen.
  cGameScreen(const cScreenLayout& layout, FONT* gameFont, cGameToolbars& toolbars, cIsoView& map);
  ~cGameScreen();
  cGameScreen(const cGameScreen&) = delete;
  cGameScreen& operator=(const cGameScreen&) = delete;

  cGUICollection& widgets() { return *gui; }
  cMinimap& myMinimap() { return *minimap; }
  cKeyboardHandler& keys() { return keyboard; }

  void addMessage(const char* text) { messages.addText(text); }
  const cMessageCanvas& myMessages() const { return messages; }
  // Scrolls and expires the messages (once per frame).
  void scrollMessages() { messages.doMe(); }
  // Draws changed messages into the overlay; true when it did (the map view wants redrawing).
  bool drawMessages();
  int overlayHeight() const;  // pixels of the message overlay at the top of the map view
  // The indicator and a message follow the connection; false when it had not changed.
  bool showConnection(bool connected);
  // The screen's own parts of a screen description: scratch, widgets, minimap, panel texture
  // and message overlay.
  void describe(cIsoScreen& s);

private:
  cMessageCanvas messages;
  BITMAP* messageBitmap = nullptr;    // owned
  BITMAP* scratch = nullptr;          // owned: the screen composed before copying
  BITMAP* panelBackground = nullptr;  // owned; null falls back to a grey fill
  cButton indicator;
  cKeyboardHandler keyboard;
  std::unique_ptr<cGUICollection> gui;  // owns the quit button and the minimap
  cMinimap* minimap = nullptr;
  bool connected = false;
};

#endif
