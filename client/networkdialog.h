#ifndef KORVANE_CLIENT_NETWORKDIALOG_H
#define KORVANE_CLIENT_NETWORKDIALOG_H
// The network game dialog: the player's name and host, the server's address and port, and a
// connection made from them. Needs a graphics mode and the keyboard; single-threaded.
#include "client/playersettings.h"
#include "gui/guicollection.h"

class cButton;
class cPlayer;
class cText;
class cTextBox;
struct BITMAP;
struct FONT;

class cNetworkDialog {
public:
  enum eField { fieldName, fieldHost, fieldServer, fieldPort, fieldCount };
  enum eChoice { choiceNone, choiceConnect, choiceCancel };

  // The dialog font, the panel background and the widgets, laid out for the current screen,
  // with the boxes holding start's values. The player settings screen shares this page with
  // its own title and button captions.
  explicit cNetworkDialog(const cPlayerSettings& start = cPlayerSettings(),
                          const char* title = "Please enter network information",
                          const char* enterCaption = "Enter", const char* cancelCaption = "Cancel");
  ~cNetworkDialog();  // frees the font (unless it is the default one), background and widgets
  cNetworkDialog(const cNetworkDialog&) = delete;
  cNetworkDialog& operator=(const cNetworkDialog&) = delete;

  // Until a connection is made (the registered player, owned by the caller) or the player
  // cancels (null). Failed attempts keep the texts as typed.
  cPlayer* run();

  // One frame with key (readkey's form; cGUICollection::noKey for none). Return and Esc
  // choose even while a box is being edited; other keys go to the widgets.
  eChoice step(int key);
  // One attempt with the texts as they stand: the connected player, or null with the
  // failure in the status line. A port that is not 1-65535 in digits connects nowhere.
  cPlayer* connect();

  // Frames until the player connects (Return, "Enter") or cancels (Esc, "Cancel").
  eChoice waitForChoice();

  const char* text(eField f) const;
  cPlayerSettings typed() const;  // the four texts as they stand
  const char* status() const;
  void setStatus(const char* text);  // and draws the page again
  cTextBox& box(eField f) { return *boxes[f]; }
  cGUICollection& widgets() { return gui; }

private:
  void addLabel(int row, const char* text);
  void addBox(eField f, int row, const char* text);

  FONT* dialogFont;         // owned unless it is the default font
  BITMAP* panelBackground;  // owned; null draws a grey page
  cGUICollection gui;       // owns every widget below
  cButton* enter = nullptr;
  cButton* cancel = nullptr;
  cText* statusLine = nullptr;
  cTextBox* boxes[fieldCount] = {};
  int lineHeight = 0;
  int labelWidth = 0;
};

#endif
