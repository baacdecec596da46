#ifndef KORVANE_CLIENT_OPTIONSMENU_H
#define KORVANE_CLIENT_OPTIONSMENU_H
// The screens of the Options menu: the screen mode of the next start, and the player's
// network details. Both need a graphics mode, the keyboard and the mouse; single-threaded.
#include <memory>
#include <vector>

#include "client/screenmode.h"
#include "gui/guicollection.h"

class cButton;
class cText;
struct BITMAP;
struct FONT;

// One column of choices under a label: a click selects a button (gold caption).
class cChoiceColumn {
public:
  // The buttons are added to gui, which owns them; names has count entries.
  cChoiceColumn(cGUICollection& gui, const char* title, int x, int buttonWidth,
                const char* const* names, int count);
  // Takes this frame's clicks; true when the selection changed (buttons marked for redraw).
  bool takeClicks();
  void select(int i);  // 0 <= i < count
  int selected() const { return chosen; }

private:
  void recolour();

  std::vector<cButton*> buttons;
  int chosen = 0;
};

// Depth, resolution and display of the next start, saved to "screeninfo.inf" in the
// chooser's format. Starts from that file, or from `running` when it has none.
class cScreenModeOptions {
public:
  enum eDisplay { displayFullScreen, displayWindowed };

  explicit cScreenModeOptions(const cScreenMode& running);
  ~cScreenModeOptions();
  cScreenModeOptions(const cScreenModeOptions&) = delete;
  cScreenModeOptions& operator=(const cScreenModeOptions&) = delete;

  // Until "Back" or Esc.
  void run();
  // One frame with key (readkey's form; cGUICollection::noKey for none); true when the
  // screen closes. Return saves as "Save" does.
  bool step(int key);
  // Writes the file; on failure says so and leaves the file as it was.
  bool save();

  cScreenMode choice() const;                           // driver 1 for full screen, 2 for a window
  cChoiceColumn& column(int i) { return *columns[i]; }  // 0 display, 1 depth, 2 resolution
  const char* status() const;

private:
  void select(const cScreenMode& mode);
  void setStatus(const char* text);

  FONT* titleFont;          // owned unless it is the default one
  BITMAP* panelBackground;  // owned; null draws a grey page
  cGUICollection gui;       // owns the widgets
  std::vector<std::unique_ptr<cChoiceColumn>> columns;
  cButton* saveButton = nullptr;
  cButton* back = nullptr;
  cText* statusLine = nullptr;
};

// The player's name, host, server and port, as the network dialog will start with them.
void runPlayerOptions();

#endif
