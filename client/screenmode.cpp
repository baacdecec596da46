#include "client/screenmode.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "client/globals.h"
#include "client/screeninfo.h"
#include "gui/button.h"
#include "gui/framepacer.h"
#include "gui/guicollection.h"
#include "gui/text.h"

namespace modeChoices {
const char* const depthNames[] = {"15bit", "16bit", "24bit", "32bit"};
const int depths[] = {15, 16, 24, 32};
const char* const resolutionNames[] = {"640x480", "800x600", "1024x768", "1152x864", "1280x1024"};
const int widths[] = {640, 800, 1024, 1152, 1280};
const int heights[] = {480, 600, 768, 864, 1024};
}  // namespace modeChoices

namespace {

const int rowOffsets[] = {-100, -79, -58, -37, -16};  // from the screen's middle

const char* const driverNames[] = {"Autodetect", "Windowed", "-", "-"};
using namespace modeChoices;

// One column of the chooser: a label over buttons, of which one is selected (white text).
// Only the first `selectable` buttons can be chosen.
class cModeColumn {
public:
  cModeColumn(cGUICollection& gui, const char* title, int x, int labelWidth, int buttonWidth,
              const char* const* names, int count, int selectable)
      : selectable(selectable)
  {
    const int middle = SCREEN_H / 2;
    gui.addElement(new cText(title, cRect(x, middle - 110, x + labelWidth, middle - 101)));
    for (int i = 0; i < count; i++) {
      const int y = middle + rowOffsets[i];
      buttons.push_back(new cButton(1, cRect(x, y, x + buttonWidth, y + 19), nullptr, names[i]));
      gui.addElement(buttons.back());
    }
    recolour();
  }

  // Takes this frame's clicks; true when the selection changed (the buttons are then marked
  // for redrawing).
  bool takeClicks()
  {
    const int before = selected;
    for (int i = 0; i < selectable; i++)
      if (buttons[i]->myMessage() == messageClick) selected = i;
    if (selected == before) return false;
    recolour();
    return true;
  }

  int selected = 0;

private:
  void recolour()
  {
    for (size_t i = 0; i < buttons.size(); i++) {
      buttons[i]->setTextColour(static_cast<int>(i) == selected ? makecol(255, 255, 255)
                                                                : makecol(0, 0, 0));
      buttons[i]->setRedraw();
    }
  }

  std::vector<cButton*> buttons;  // owned by the collection
  int selectable;
};

class cChooser {
public:
  explicit cChooser(cScreenMode& mode);  // mode is borrowed: the choice lands there
  // Runs until OK (false) or Quit (true).
  bool run();

private:
  cButton* addButton(const char* caption, int x);
  void takeChoice(bool windowedDriver, int autodetectDriver);
  void save();
  void status(const char* text, bool failure);

  cScreenMode& mode;
  cGUICollection gui;
  cModeColumn drivers, bitDepths, resolutions;
  cButton* ok;
  cButton* saveButton;
  cButton* quit;
};

cChooser::cChooser(cScreenMode& mode)
    : mode(mode),
      drivers(gui, "Driver: ", SCREEN_W / 4 - 45, 80, 90, driverNames, 4, 2),
      bitDepths(gui, "Bit Depth: ", SCREEN_W / 2 - 30, 80, 80, depthNames, 4, 4),
      resolutions(gui, "Resolution: ", 3 * SCREEN_W / 4, 90, 80, resolutionNames, 5, 5),
      ok(addButton("OK", SCREEN_W / 2 - 65)),
      saveButton(addButton("Save", SCREEN_W / 2 - 20)),
      quit(addButton("Quit", SCREEN_W / 2 + 25))
{
}

cButton* cChooser::addButton(const char* caption, int x)
{
  auto* b = new cButton(1, cRect(x, SCREEN_H - 40, x + 40, SCREEN_H - 20), nullptr, caption);
  gui.addElement(b);
  return b;
}

void cChooser::takeChoice(bool windowedDriver, int autodetectDriver)
{
  mode.myColourDepth = depths[bitDepths.selected];
  mode.myWidth = widths[resolutions.selected];
  mode.myHeight = heights[resolutions.selected];
  mode.myGraphicsDriver = windowedDriver ? GFX_AUTODETECT_WINDOWED : autodetectDriver;
}

// Both lines are padded to the same width so that each covers the one before.
void cChooser::status(const char* text, bool failure)
{
  hideMouse();
  textout_centre_ex(screen, font, text, SCREEN_W / 2 + 1, SCREEN_H - 100,
                    failure ? makecol(255, 96, 96) : makecol(255, 255, 255), makecol(0, 0, 0));
  showMouse();
}

void cChooser::save()
{
  takeChoice(drivers.selected == 1, GFX_AUTODETECT);
  if (saveScreenInfo(mode)) {
    status("              Information saved.                     ", false);
    return;
  }
  status("           Could not save screeninfo.inf.            ", true);
}

bool cChooser::run()
{
  hideMouse();
  gui.draw(screen);
  showMouse();
  // The pointer first: the line below tells a watching player (or test) that all is ready.
  show_mouse(screen);
  text_mode(0);
  status("Please select graphics properties.", false);
  text_mode(-1);
  cFramePacer pacer(60);
  for (;;) {
    // Hiding the pointer makes it flicker: only for something to draw.
    if (gui.hasRedraw()) {
      hideMouse();
      acquire_screen();
      gui.redraw(screen);
      release_screen();
      showMouse();
    }
    gui.doMe();
    drivers.takeClicks();
    bitDepths.takeClicks();
    resolutions.takeClicks();
    if (ok->myMessage() == messageClick) {
      takeChoice(drivers.selected == 1, GFX_AUTODETECT_FULLSCREEN);
      return false;
    }
    if (saveButton->myMessage() == messageClick) save();
    if (quit->myMessage() == messageClick) return true;
    pacer.wait();
  }
}

void setSafeMode()
{
  set_color_depth(8);
  if (set_gfx_mode(GFX_SAFE, 640, 480, 0, 0) == 0) return;
  allegro_exit();
  printf("Error setting graphics mode: %s", allegro_error);
  exit(1);
}

}  // namespace

bool chooseScreenMode(cScreenMode& mode)
{
  installClickLatch();
  setSafeMode();
  const int white = makecol(255, 255, 255);
  // "Initilizing Palletes" is the system's own wording, kept on purpose.
  textout_centre_ex(screen, font, "Initilizing Palletes...", SCREEN_W / 2 + 1, 5, white, -1);
  auto table = std::make_unique<RGB_MAP>();
  PALETTE palette;
  get_palette(palette);
  create_rgb_table(table.get(), palette, nullptr);
  rgb_map = table.get();
  textout_centre_ex(screen, font, "  Select Screen Mode...  ", SCREEN_W / 2 + 1, 5, white, 0);
  text_mode(-1);
  bool quit;
  {
    cChooser chooser(mode);
    quit = chooser.run();
  }
  // The table goes with this call: colours are no longer matched through it.
  rgb_map = nullptr;
  if (quit) return true;
  show_mouse(nullptr);
  set_gfx_mode(GFX_TEXT, 80, 25, 0, 0);
  return false;
}
