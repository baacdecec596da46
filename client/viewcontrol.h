#ifndef KORVANE_CLIENT_VIEWCONTROL_H
#define KORVANE_CLIENT_VIEWCONTROL_H
// What keeps the player oriented on the map: where a game opens, zooming, scrolling with the
// arrow keys and the screen's edges, and the short flash of each blast. Single-threaded.
#include <cstdint>
#include <vector>

#include "sim/gameplaymap.h"
#include "world/pointutil.h"

class cClock;
struct cGameSession;

class cViewControl {
public:
  // The session and the clock (which times the flashes) are borrowed and outlive the
  // control.
  cViewControl(cGameSession& session, cClock& clock) : session(session), clock(clock) {}

  // Centres the view on the player's first unit, else its first building, else the map's
  // middle.
  void openOnOwnForces();
  // One step each way, within zoom 1..20; a step taken says so in the messages.
  void increase_zoom();
  void decrease_zoom();
  // A tap of an arrow key (scanCode) scrolls by step pixels, unless the arrow is held:
  // held arrows scroll every frame through scrollByHeldKeys.
  void scrollByTap(int scanCode, cPoint step);
  void scrollByHeldKeys();
  void scrollByEdges();  // the pointer resting near a screen edge
  // The blasts of the last turn start flashing; they flash for 0.2 s of the clock.
  void collectBlasts();
  void ageFlashes();  // once a frame: the flashes whose time is up go

private:
  static bool arrowHeld(int scanCode);

  cGameSession& session;
  cClock& clock;
  struct cFlash {
    cGamePlayMap::cBlastMark blast;
    int64_t until;  // clock microseconds
  };
  std::vector<cFlash> flashes;  // shown until their time is up
  bool flashesChanged = false;
};

#endif
