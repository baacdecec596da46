#ifndef KORVANE_GUI_BOXBUTTON_H
#define KORVANE_GUI_BOXBUTTON_H
// A bevelled box drawn in place: panels, and the face of plain buttons.
#include "world/pointutil.h"

struct BITMAP;

class boxButton {
public:
  // The edges are drawn on the rectangle's corner coordinates (right and bottom included),
  // the shadow one pixel beyond. Colours are packed in the current colour depth.
  boxButton() { setColours(); }
  boxButton(bool raised, cRect r);
  boxButton(bool raised, cRect r, long bottomRight, long topLeft);
  boxButton(bool raised, cRect r, long shadow);
  boxButton(bool raised, long colour, cRect r);
  boxButton(bool raised, long colour, cRect r, long bottomRight, long topLeft);
  boxButton(bool raised, long colour, cRect r, long shadow);
  boxButton(bool raised, BITMAP* texture, cRect r);  // texture borrowed

  // Raised: white top and left, (80, 80, 80) bottom and right; pressed in: the reverse.
  void setColours();
  void setShadow(int c);
  void setColour(int c);       // fill with a colour, not a texture
  void setTexture(BITMAP* t);  // fill with the pattern, not a colour; borrowed
  // Fills (when `fill`) and draws the edges and the shadow. A textured box without a
  // texture fills grey; its edges are half-transparent only above 8 bits.
  void drawMe(BITMAP* target, bool fill) const;

  cRect rect;
  bool raised = true;
  bool filled = false;
  bool textured = false;
  bool shadowed = false;
  int colour = 0;
  int shadowColour = 0;
  int edgeBottomRight = 0;
  int edgeTopLeft = 0;
  BITMAP* texture = nullptr;

private:
  void fillBox(BITMAP* target) const;
};

#endif
