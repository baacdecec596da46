#ifndef KORVANE_GUI_CANVAS_H
#define KORVANE_GUI_CANVAS_H
// The short queue of status messages shown over the map; they age out by themselves.
#include "net/queue.h"

struct BITMAP;

class cMessageCanvas : public cQueue {
public:
  cMessageCanvas() = default;

  void addText(const char* text);  // a copy; null reads as ""
  // One tick (the game calls it 60 times a second): after a 10-tick grace the oldest message
  // goes at tick 800, or sooner when more are waiting (300 with 4, 50 with 7, at once with 8).
  void doMe();
  // Clears the target to its mask colour and writes the messages, oldest first, in white.
  void draw(BITMAP* target);
  int drawnHeight() const { return drawn; }  // pixels of the target the last draw wrote on
  bool hasChanged() const { return changed; }
  int myTicks() const { return ticks; }

private:
  void removeOldest();

  int ticks = 0;
  bool changed = true;
  int drawn = 0;
};

#endif
