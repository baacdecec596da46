#include "client/optionsmenu.h"

#include <allegro.h>

#include "addons/jpegload.h"
#include "client/cgameengine.h"
#include "client/context.h"
#include "client/dialogscreen.h"
#include "client/networkdialog.h"
#include "client/playersettings.h"
#include "client/screeninfo.h"
#include "gui/button.h"
#include "gui/fonts.h"
#include "gui/framepacer.h"
#include "gui/menu.h"
#include "gui/mouse.h"
#include "gui/text.h"
#include "world/host.h"

namespace {
const int rowOffsets[] = {-100, -79, -58, -37, -16};  // from the screen's middle
const char* const displayNames[] = {"Full Screen", "Windowed"};
const char* const nextStart = "The new screen mode takes effect at the next start.";

// Gold: a white caption would look much like the white shadow of the black ones.
int selectedColour() { return makecol(255, 224, 64); }

int titlePoints() { return (SCREEN_W * 100 / 1024) * 18 / 100; }

int readKey()
{
  if (keyboard_needs_poll()) poll_keyboard();
  return keypressed() ? readkey() : cGUICollection::noKey;
}

bool isReturn(int key)
{
  const int scan = key >> 8, ch = key & 0xff;
  return ch == 10 || ch == 13 || scan == KEY_ENTER || scan == KEY_ENTER_PAD;
}

template <int n>
int indexOf(const int (&values)[n], int value)
{
  for (int i = 0; i < n; i++)
    if (values[i] == value) return i;
  return 0;
}
}  // namespace

cChoiceColumn::cChoiceColumn(cGUICollection& gui, const char* title, int x, int buttonWidth,
                             const char* const* names, int count)
{
  const int middle = SCREEN_H / 2;
  gui.addElement(
      new cText(title, cRect(x, middle - 110, x + 96, middle - 101)));  // wider than "Resolution: "
  for (int i = 0; i < count; i++) {
    const int y = middle + rowOffsets[i];
    buttons.push_back(new cButton(1, cRect(x, y, x + buttonWidth, y + 19), nullptr, names[i]));
    gui.addElement(buttons.back());
  }
  recolour();
}

bool cChoiceColumn::takeClicks()
{
  const int before = chosen;
  for (size_t i = 0; i < buttons.size(); i++)
    if (buttons[i]->myMessage() == messageClick) chosen = static_cast<int>(i);
  if (chosen == before) return false;
  recolour();
  return true;
}

void cChoiceColumn::select(int i)
{
  chosen = i;
  recolour();
}

void cChoiceColumn::recolour()
{
  for (size_t i = 0; i < buttons.size(); i++) {
    buttons[i]->setTextColour(static_cast<int>(i) == chosen ? selectedColour() : makecol(0, 0, 0));
    buttons[i]->setRedraw();
  }
}

cScreenModeOptions::cScreenModeOptions(const cScreenMode& running)
    : titleFont(loadTimesOrDefault(titlePoints())),
      panelBackground(load_jpeg(hostDataFile("tarvix.dat#global_background1").c_str(), nullptr))
{
  using namespace modeChoices;
  const int lineHeight = text_height(titleFont) + 2;
  gui.addElement(new cText("Screen Mode",
                           cRect(SCREEN_W / 2 - 300, 2, SCREEN_W / 2 + 300, 2 + lineHeight),
                           titleFont, makecol(255, 255, 255)));
  columns.emplace_back(new cChoiceColumn(gui, "Display: ", SCREEN_W / 4 - 45, 90, displayNames, 2));
  columns.emplace_back(
      new cChoiceColumn(gui, "Bit Depth: ", SCREEN_W / 2 - 30, 80, depthNames, depthCount));
  columns.emplace_back(new cChoiceColumn(gui, "Resolution: ", 3 * SCREEN_W / 4, 80, resolutionNames,
                                         resolutionCount));
  saveButton = new cButton(1, cRect(SCREEN_W - 100, SCREEN_H - 100, SCREEN_W - 50, SCREEN_H - 82),
                           nullptr, "Save");
  back = new cButton(1, cRect(SCREEN_W - 170, SCREEN_H - 100, SCREEN_W - 115, SCREEN_H - 82),
                     nullptr, "Back");
  statusLine = new cText(nextStart, cRect(0, SCREEN_H - 14, SCREEN_W, SCREEN_H));
  gui.addElement(saveButton);
  gui.addElement(back);
  gui.addElement(statusLine);
  // Nothing readable (a folder by that name, an empty file): the running mode stands.
  cScreenMode next = running;
  select(readScreenInfo(next) > 0 ? next : running);
}

cScreenModeOptions::~cScreenModeOptions()
{
  releaseFont(titleFont);
  if (panelBackground) destroy_bitmap(panelBackground);
}

void cScreenModeOptions::select(const cScreenMode& mode)
{
  using namespace modeChoices;
  const bool windowed = mode.myGraphicsDriver == GFX_AUTODETECT_WINDOWED;
  columns[0]->select(windowed ? displayWindowed : displayFullScreen);
  columns[1]->select(indexOf(depths, mode.myColourDepth));
  int resolution = indexOf(widths, mode.myWidth);
  if (heights[resolution] != mode.myHeight) resolution = 0;
  columns[2]->select(resolution);
}

cScreenMode cScreenModeOptions::choice() const
{
  using namespace modeChoices;
  cScreenMode mode;
  mode.myColourDepth = depths[columns[1]->selected()];
  mode.myWidth = widths[columns[2]->selected()];
  mode.myHeight = heights[columns[2]->selected()];
  mode.myGraphicsDriver = columns[0]->selected() == displayWindowed ? GFX_AUTODETECT_WINDOWED
                                                                    : GFX_AUTODETECT_FULLSCREEN;
  return mode;
}

const char* cScreenModeOptions::status() const { return statusLine->myText(); }

void cScreenModeOptions::setStatus(const char* text)
{
  statusLine->setText(text);
  drawDialog(gui, panelBackground);
}

bool cScreenModeOptions::save()
{
  const cScreenMode mode = choice();
  if (saveScreenInfo(mode)) {
    setStatus("Saved. The new screen mode takes effect at the next start.");
    return true;
  }
  setStatus("Could not save screeninfo.inf.");
  return false;
}

bool cScreenModeOptions::step(int key)
{
  if (key != cGUICollection::noKey && (key >> 8) == KEY_ESC) return true;
  if (key != cGUICollection::noKey && isReturn(key)) {
    save();
    return false;
  }
  gui.dispatch(key);
  bool changed = false;
  for (auto& c : columns) changed = c->takeClicks() || changed;
  if (changed) {
    hideMouse();
    gui.redraw(screen);
    showMouse();
  }
  if (saveButton->myMessage() == messageClick) save();
  return back->myMessage() == messageClick;
}

void cScreenModeOptions::run()
{
  cPointerShown pointer;
  drawDialog(gui, panelBackground);
  cFramePacer pacer(60);
  do pacer.wait();
  while (!step(readKey()));
}

void runPlayerOptions()
{
  cNetworkDialog page(loadPlayerSettings(), "Player", "Save", "Back");
  cPointerShown pointer;
  page.setStatus("The network game dialog starts with these values.");
  while (page.waitForChoice() == cNetworkDialog::choiceConnect) {
    const cPlayerSettings settings = page.typed();
    if (const char* problem = checkPlayerSettings(settings))
      page.setStatus(problem);
    else if (savePlayerSettings(settings))
      page.setStatus("Player settings saved.");
    else
      page.setStatus("Could not save player.cfg.");
  }
}

void cGameEngine::options(BITMAP* background)
{
  static const char* const items[] = {"Screen Mode", "Player", "Back to Main Menu"};
  cMenu menu(background, 3, items);
  for (;;) {
    switch (menu.doMe()) {
      case 1: cScreenModeOptions(context.screenMode).run(); break;
      case 2: runPlayerOptions(); break;
      case 3: return;
      case 4: screenShot(); break;
      default: break;
    }
  }
}
