#include "client/networkdialog.h"

#include <allegro.h>

#include <cstdio>

#include "addons/jpegload.h"
#include "client/cgameengine.h"
#include "client/dialogscreen.h"
#include "gui/button.h"
#include "gui/fonts.h"
#include "gui/framepacer.h"
#include "gui/guicollection.h"
#include "gui/text.h"
#include "gui/textbox.h"
#include "net/player.h"
#include "net/protocol.h"
#include "world/host.h"

namespace {
// The dialog font grows with the screen: 11 points at 640 pixels wide, 18 at 1024.
int dialogPoints() { return (SCREEN_W * 100 / 1024) * 18 / 100; }

bool isReturn(int key)
{
  const int scan = key >> 8, ch = key & 0xff;
  return ch == 10 || ch == 13 || scan == KEY_ENTER || scan == KEY_ENTER_PAD;
}
}  // namespace

cNetworkDialog::cNetworkDialog(const cPlayerSettings& start, const char* title,
                               const char* enterCaption, const char* cancelCaption)
    : dialogFont(loadTimesOrDefault(dialogPoints())),
      panelBackground(load_jpeg(hostDataFile("tarvix.dat#global_background1").c_str(), nullptr))
{
  lineHeight = text_height(dialogFont) + 2;
  labelWidth = SCREEN_W / 4;
  const int white = makecol(255, 255, 255);
  enter = new cButton(1, cRect(SCREEN_W - 100, SCREEN_H - 100, SCREEN_W - 50, SCREEN_H - 82),
                      nullptr, enterCaption);
  enter->setHandler(cGameEngine::buttonQuitEvent);
  cancel = new cButton(1, cRect(SCREEN_W - 170, SCREEN_H - 100, SCREEN_W - 115, SCREEN_H - 82),
                       nullptr, cancelCaption);
  gui.addElement(enter);
  gui.addElement(cancel);
  gui.addElement(new cText(title, cRect(SCREEN_W / 2 - 300, 2, SCREEN_W / 2 + 300, 2 + lineHeight),
                           dialogFont, white));
  addLabel(0, "Player Name:");
  addLabel(1, "Host Name:");
  addBox(fieldName, 0, fitField(start.name).c_str());
  addBox(fieldHost, 1, fitField(start.host).c_str());
  addLabel(2, "Server Name:");
  addLabel(3, "Server Port:");
  addBox(fieldServer, 2, fitField(start.server).c_str());
  addBox(fieldPort, 3, fitField(start.port).c_str());
  statusLine = new cText("Enter Details.", cRect(0, SCREEN_H - 14, SCREEN_W, SCREEN_H));
  gui.addElement(statusLine);
  gui.addElement(new cKeyboardHandler());
}

cNetworkDialog::~cNetworkDialog()
{
  releaseFont(dialogFont);
  if (panelBackground) destroy_bitmap(panelBackground);
}

void cNetworkDialog::addLabel(int row, const char* text)
{
  const int left = SCREEN_W / 4 - labelWidth / 2;
  const int top = SCREEN_H / 4 + row * SCREEN_H / 16;
  gui.addElement(new cText(text, cRect(left, top, left + labelWidth, top + lineHeight), dialogFont,
                           makecol(255, 255, 255)));
}

void cNetworkDialog::addBox(eField f, int row, const char* text)
{
  const int left = 9 * SCREEN_W / 16;
  const int top = SCREEN_H / 4 + row * SCREEN_H / 16;
  boxes[f] = new cTextBox(text, cRect(left, top, left + 200, top + 15), font, makecol(0, 0, 0),
                          makecol(208, 208, 208));
  gui.addElement(boxes[f]);
}

const char* cNetworkDialog::text(eField f) const { return boxes[f]->myText(); }

cPlayerSettings cNetworkDialog::typed() const
{
  cPlayerSettings s;
  s.name = text(fieldName);
  s.host = text(fieldHost);
  s.server = text(fieldServer);
  s.port = text(fieldPort);
  return s;
}

const char* cNetworkDialog::status() const { return statusLine->myText(); }

void cNetworkDialog::setStatus(const char* text)
{
  statusLine->setText(text);
  drawDialog(gui, panelBackground);
}

cNetworkDialog::eChoice cNetworkDialog::step(int key)
{
  if (key != cGUICollection::noKey && (key >> 8) == KEY_ESC) return choiceCancel;
  if (key != cGUICollection::noKey && isReturn(key)) return choiceConnect;
  gui.dispatch(key);
  if (cancel->myMessage() == messageClick) return choiceCancel;
  if (cGameEngine::q) return choiceConnect;  // the "Enter" button's handler
  return choiceNone;
}

cNetworkDialog::eChoice cNetworkDialog::waitForChoice()
{
  cGameEngine::q = false;
  cFramePacer pacer(60);
  eChoice choice = choiceNone;
  while (choice == choiceNone) {
    pacer.wait();
    int key = cGUICollection::noKey;
    if (keyboard_needs_poll()) poll_keyboard();
    if (keypressed()) key = readkey();
    choice = step(key);
  }
  cGameEngine::q = false;
  return choice;
}

cPlayer* cNetworkDialog::connect()
{
  int port = 0;
  if (parsePort(text(fieldPort), port)) {
    cPlayer* player = new cPlayer(-1);
    player->setPlayerInfo(text(fieldName), text(fieldHost));
    if (player->connectTo(text(fieldServer), static_cast<short>(port))) return player;
    delete player;
  }
  char failure[120];
  std::snprintf(failure, sizeof failure, "Connect to %s:%s failed. Try again.", text(fieldServer),
                text(fieldPort));
  setStatus(failure);
  hostLog("%s\n", failure);
  hostFlushLog();
  return nullptr;
}

cPlayer* cNetworkDialog::run()
{
  cPointerShown pointer;
  drawDialog(gui, panelBackground);
  for (;;) {
    if (waitForChoice() == choiceCancel) return nullptr;
    setStatus("Connecting...");
    if (cPlayer* player = connect()) return player;
  }
}

cPlayer* cGameEngine::createPlayer()
{
  cNetworkDialog dialog(loadPlayerSettings());
  cPlayer* player = dialog.run();
  if (!player) return nullptr;
  std::printf("CLIENT: connected\n");
  std::fflush(stdout);
  // What connected is what the player will want next time.
  if (!savePlayerSettings(dialog.typed())) hostLog("Could not save %s.\n", playerSettingsFile);
  return player;
}
