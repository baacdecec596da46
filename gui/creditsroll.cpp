// The client's own credits roll (gui/credits.h). The people and places named are the
// game's own inventions.
#include <allegro.h>

#include "gui/credits.h"
#include "gui/fonts.h"
#include "world/host.h"

namespace {

struct cRollFonts {
  FONT* small;
  FONT* medium;
  FONT* large;
};

// Each font falls back to the default on its own.
cRollFonts loadRollFonts()
{
  const int s = SCREEN_W * 100 / 1024;
  cRollFonts f{loadTimesOrDefault(18 * s / 100), loadTimesOrDefault(s / 5),
               loadTimesOrDefault(24 * s / 100)};
  hostLog("theCredits, loaded fonts\n(ttf library may leak memory 100k,4k,4k,etc)...\n");
  hostReopenLog();
  return f;
}

struct cRow {
  int font;  // 0 small, 1 medium, 2 large
  int colour;
  const char* text;
  int spacing;
};

enum { titleBlue, pink, white, lastPink };

const cRow heading[] = {
    {2, titleBlue, "- The Credits -", 100},
    {1, titleBlue, "The Dunmarch", 20},
};
const cRow people[] = {
    {0, white, "made by the Korvane workshop at Lake Tessaly", 20},
    {1, pink, "Project Leader:", 20},
    {0, titleBlue, "Maren Oskvald", 20},
};
const cRow programmers[] = {
    {1, pink, "Programmers:", 20},      {0, white, "Maren Oskvald", 20},
    {0, white, "Tobiah Wrenfield", 20}, {0, white, "Ilse Harrowgate", 20},
    {0, white, "Pell Marchetti", 20},   {0, white, "Jorun Vasskay", 20},
};
const cRow artists[] = {
    {1, pink, "Graphic Artists", 30},         {0, white, "Anneli 'Inkwell' Brandt", 20},
    {0, white, "Corvin 'Smudge' Talley", 20}, {0, white, "Rhea 'Pixelwitch' Damaso", 20},
    {0, white, "Esko 'Tiles' Larrin", 20},
};
const cRow concept[] = {
    {1, pink, "Concept:", 30},
    {0, white, "Maren Oskvald (the world and its wars)", 20},
    {0, white, "Quillon (the isometric view)", 20},
    {0, white, "Tobiah Wrenfield (units and their orders)", 20},
    {0, white, "Sable (the building kinds)", 20},
    {0, white, "Ilse Harrowgate (network play)", 20},
};
const cRow testers[] = {
    {1, pink, "l33t Testers:", 30},
    {0, white, "Dorrit Kellan - dorrit@korvane.example.org", 40},
    {1, pink, "Testers:", 30},
    {0, white, "Fennick - fennick@korvane.example.org", 20},
    {0, white, "Moth - moth@korvane.example.org", 20},
    {0, white, "Rookwise - rookwise@korvane.example.org", 20},
};
const cRow thanks[] = {
    {1, lastPink, "Special Thanks to:", 30},
    {0, white, "the author of the Quillpad editor - quillpad.example.org", 20},
    {0, white, "the author and team of the Allegro game library", 10},
    {0, white, "liballeg.org", 20},
    {0, white, "the Open Sound Vault - sounds.example.net", 20},
    {0, white, "AllegTTF Library - and the Free Type Library", 20},
    {0, white, "LibPNG - the portable network graphics format", 20},
    {0, white, "The JPEG Library", 20},
};

template <int N>
void addRows(cCredits& roll, const cRow (&rows)[N], const cRollFonts& f)
{
  const int colours[] = {makecol(224, 224, 255), makecol(255, 224, 255), makecol(255, 255, 255),
                         makecol(255, 239, 255)};
  FONT* fonts[] = {f.small, f.medium, f.large};
  for (const cRow& r : rows)
    roll.addElement(
        new cCreditsElementTextWithSpacing(fonts[r.font], r.text, colours[r.colour], r.spacing));
}

}  // namespace

void rollCredits(const cBuildingPictures& buildingPicture)
{
  const cRollFonts fonts = loadRollFonts();
  {
    cCredits roll;
    hostLog("theCredits, Initilized class cCredits()...\n");  // the system's own wording
    hostReopenLog();
    cCreditsElementSpacer gap(50), shortGap(20);
    cCreditsElementBitmap pictures[] = {
        cCreditsElementBitmap(buildingPicture ? buildingPicture(3) : nullptr),
        cCreditsElementBitmap(buildingPicture ? buildingPicture(4) : nullptr),
        cCreditsElementBitmap(buildingPicture ? buildingPicture(5) : nullptr)};
    hostLog("theCredits, Bitmaps...\n");
    hostReopenLog();
    addRows(roll, heading, fonts);
    roll.addElement(false, &gap);
    addRows(roll, people, fonts);
    roll.addElement(false, &gap);
    addRows(roll, programmers, fonts);
    roll.addElement(false, &gap);
    addRows(roll, artists, fonts);
    roll.addElement(false, &gap);
    addRows(roll, concept, fonts);
    roll.addElement(false, &gap);
    addRows(roll, testers, fonts);
    roll.addElement(false, &gap);
    for (cCreditsElementBitmap& p : pictures) roll.addElement(false, &p);
    roll.addElement(false, &gap);
    addRows(roll, thanks, fonts);
    roll.addElement(false, &shortGap);
    hostLog("theCredits.doMe(3) next\n");
    hostReopenLog();
    roll.doMe(3);
  }
  for (FONT* f : {fonts.small, fonts.medium, fonts.large}) releaseFont(f);
}
