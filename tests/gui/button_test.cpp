#include <gtest/gtest.h>

#include <algorithm>

#include "gui/boxbutton.h"
#include "gui/button.h"
#include "gui/canvas.h"
#include "gui/guitest.h"
#include "gui/text.h"

// A type-1 button's four looks, sampled inside the box, on its edges and in the shadow.
TEST(Button, BoxDrawnLooksFollowTheMouseState)
{
  struct Row {
    int state;
    int fill, topLeft, bottomRight;
  } rows[] = {
      {stateIdle, rgb(128, 128, 128), rgb(255, 255, 255), rgb(80, 80, 80)},
      {stateHover, rgb(160, 160, 160), rgb(255, 255, 255), rgb(80, 80, 80)},
      {statePressed, rgb(144, 144, 144), rgb(80, 80, 80), rgb(255, 255, 255)},
      {statePressedOutside, rgb(128, 128, 128), rgb(80, 80, 80), rgb(255, 255, 255)},
  };
  for (const Row& row : rows) {
    cScratch page(100, 60);
    cButton ok(1, cRect(10, 10, 50, 30), nullptr, "OK");
    ok.draw(page, row.state);
    EXPECT_EQ(rgbAt(page, 12, 12), row.fill) << row.state;
    EXPECT_EQ(rgbAt(page, 10, 20), row.topLeft) << row.state;
    EXPECT_EQ(rgbAt(page, 50, 20), row.bottomRight) << row.state;
    EXPECT_EQ(rgbAt(page, 51, 20), rgb(64, 64, 64)) << "shadow, state " << row.state;
  }
}

// The caption is black with a light shadow; pressed, it moves one pixel right and down.
TEST(Button, PressedCaptionMovesOnePixel)
{
  auto leftmostDark = [](int state) {
    cScratch page(100, 60);
    cButton ok(1, cRect(10, 10, 50, 30), nullptr, "OK");
    ok.draw(page, state);
    for (int x = 10; x < 50; x++)
      for (int y = 10; y < 30; y++)
        if (rgbAt(page, x, y) == 0) return x * 100 + y;
    return -1;
  };
  const int idle = leftmostDark(stateIdle), pressed = leftmostDark(statePressed);
  ASSERT_GT(idle, 0);
  EXPECT_EQ(pressed, idle + 101);
}

// A type-0 button captures the picture under it: unchanged at rest, brighter when hovered,
// darker when pressed; a caption change makes it capture again.
TEST(Button, PlainButtonTintsThePictureUnderIt)
{
  cScratch page(100, 60);
  clear_to_color(page, makecol(100, 50, 20));
  cButton plain(0, cRect(10, 10, 50, 30), nullptr, nullptr);
  plain.draw(page, stateIdle);
  EXPECT_EQ(rgbAt(page, 20, 20), rgb(100, 50, 20));
  plain.draw(page, stateHover);
  const int hover = rgbAt(page, 20, 20);
  EXPECT_GT(hover >> 16, 100);
  clear_to_color(page, makecol(100, 50, 20));
  plain.draw(page, statePressed);
  EXPECT_LT(rgbAt(page, 20, 20) >> 16, 100);

  clear_to_color(page, makecol(0, 0, 200));
  plain.setTextColour(makecol(255, 0, 0));  // no caption: nothing changes
  plain.draw(page, stateIdle);
  EXPECT_EQ(rgbAt(page, 20, 20), rgb(100, 50, 20)) << "still the first capture";
  plain.setTextText("X");
  clear_to_color(page, makecol(0, 0, 200));
  plain.draw(page, stateIdle);
  clear_to_color(page, makecol(0, 0, 0));
  plain.draw(page, stateIdle);
  EXPECT_EQ(rgbAt(page, 11, 11), rgb(0, 0, 200)) << "captured anew";
}

// Capturing from the screen hides the pointer around the copy.
TEST(Button, CapturingTheScreenHidesThePointer)
{
  if (!openScreen(32, 320, 200)) GTEST_SKIP() << "no display";
  show_mouse(screen);
  cButton plain(0, cRect(10, 10, 50, 30), nullptr, nullptr);
  const int hidden = ndown, shown = nup;
  plain.draw(screen);
  EXPECT_EQ(ndown, hidden + 1);
  EXPECT_EQ(nup, shown + 1);
  show_mouse(nullptr);
}

// A textured box whose texture is missing, and lit or translucent drawing on an 8-bit
// target without a colour map, draw plainly instead of crashing.
TEST(Button, MissingTextureAndEightBitTargetsDrawPlainly)
{
  cScratch page(60, 40);
  boxButton(true, static_cast<BITMAP*>(nullptr), cRect(0, 0, 20, 20)).drawMe(page, true);
  EXPECT_EQ(rgbAt(page, 5, 5), rgb(128, 128, 128));

  ASSERT_EQ(color_map, nullptr);
  cScratch eight(60, 40, 8);
  cScratch picture(8, 8);
  clear_to_color(picture, makecol(200, 0, 0));
  cButton pictured(1, cRect(0, 0, 20, 20), picture, nullptr);
  for (int s = 0; s < 4; s++) pictured.draw(eight, s);
  cButton plain(0, cRect(20, 0, 40, 20), nullptr, nullptr);
  for (int s = 0; s < 4; s++) plain.draw(eight, s);
  boxButton(true, picture.bmp, cRect(40, 0, 59, 20)).drawMe(eight, true);
  SUCCEED();
}

// Bitmap faces: state 0 is the picture; hover is the picture lit brighter.
TEST(Button, BitmapFacesAreStretchedAndLit)
{
  cScratch page(60, 40);
  BITMAP* picture = create_bitmap_ex(24, 4, 4);
  clear_to_color(picture, makecol_depth(24, 0, 100, 0));
  cButton b(1, cRect(0, 0, 20, 20), picture, nullptr);
  b.draw(page, stateIdle);
  EXPECT_EQ(rgbAt(page, 19, 19), rgb(0, 100, 0));
  b.draw(page, stateHover);
  EXPECT_GT(rgbAt(page, 10, 10) & 0xff0000, 0) << "lit towards grey";
  destroy_bitmap(picture);
}

// Pictures for the other states may come in another depth than the target (24-bit arrows
// on a 32-bit screen): they are converted, their mask stays see-through.
TEST(Button, StatePicturesOfAnotherDepthAreConvertedAndKeepTheirMask)
{
  for (int depth : {32, 16, 15}) {
    cScratch page(40, 40, depth);
    clear_to_color(page, makecol_depth(depth, 0, 0, 255));
    BITMAP* hover = create_bitmap_ex(24, 10, 10);
    clear_to_color(hover, bitmap_mask_color(hover));
    rectfill(hover, 0, 0, 4, 9, makecol_depth(24, 200, 40, 40));
    BITMAP* idle = create_bitmap_ex(24, 10, 10);
    clear_to_color(idle, makecol_depth(24, 0, 100, 0));
    cButton b(1, cRect(0, 0, 20, 20), idle, nullptr);
    b.setBitmap(1, hover);
    b.draw(page, stateHover);
    const int red = rgbAt(page, 3, 10), masked = rgbAt(page, 15, 10);
    EXPECT_GT(red >> 16, 180) << depth;
    EXPECT_LT(red & 0xff, 60) << depth;
    EXPECT_EQ(masked & 0xffff00, 0) << depth << ": the mask shows the page";
    EXPECT_GT(masked & 0xff, 240) << depth;
    EXPECT_EQ(rgbAt(page, 25, 25) & 0xffff00, 0) << depth << ": nothing drawn past the button";
    destroy_bitmap(hover);
    destroy_bitmap(idle);
  }
}

// Toolbar pictures come as 32-bit masked bitmaps without alpha (grabbed BMPs: terrain), as
// 32-bit bitmaps with alpha (icons), or in the screen's lower depth: each shows its colour
// where it is solid and the page where it is masked.
TEST(Button, IdlePicturesShowWithTheirMaskOrTheirAlpha)
{
  const struct {
    const char* what;
    int depth;
    bool alpha;
  } cases[] = {{"32 bits, mask only", 32, false},
               {"32 bits with alpha", 32, true},
               {"16 bits, mask only", 16, false}};
  for (const auto& c : cases) {
    cScratch page(40, 40);
    clear_to_color(page, makecol(0, 0, 255));
    BITMAP* picture = create_bitmap_ex(c.depth, 10, 10);
    clear_to_color(picture, bitmap_mask_color(picture));
    const int red = c.alpha ? makeacol32(200, 40, 40, 255) : makecol_depth(c.depth, 200, 40, 40);
    rectfill(picture, 0, 0, 4, 9, red);
    cButton b(0, cRect(0, 0, 20, 20), picture, nullptr);
    b.draw(page, stateIdle);
    const int solid = rgbAt(page, 3, 10), masked = rgbAt(page, 15, 10);
    EXPECT_GT(solid >> 16, 180) << c.what << ": the solid half shows";
    EXPECT_LT(solid & 0xff, 60) << c.what;
    EXPECT_EQ(masked, rgb(0, 0, 255)) << c.what << ": the masked half shows the page";
    destroy_bitmap(picture);
  }
}

// Copies own their captions and faces; types above 5 copy as 0; self-assignment is safe.
TEST(Button, CopiesAreDeepAndSelfAssignmentIsSafe)
{
  cButton original(7, cRect(0, 0, 30, 20), nullptr, "Save");
  cButton copy(original);
  EXPECT_EQ(copy.myType(), 0);
  EXPECT_STREQ(copy.myTextText(), "Save");
  original.setTextText("Quit");
  EXPECT_STREQ(copy.myTextText(), "Save");
  EXPECT_TRUE(copy.hasButtonFaceStoredF());

  cButton assigned;
  assigned = original;
  EXPECT_EQ(assigned.toRect(), cRect(0, 0, 30, 20));
  assigned = assigned;
  EXPECT_STREQ(assigned.myTextText(), "Quit");
  {
    cButton temporary(1, cRect(0, 0, 5, 5), nullptr, "T");
    assigned = temporary;
  }
  cScratch page(40, 40);
  assigned.draw(page, stateHover);  // the temporary's caption and face are gone
  EXPECT_STREQ(assigned.myTextText(), "T");
}

TEST(Text, NullTextsAreEmptyAndShadowsStayInRange)
{
  cText label(nullptr, cRect(0, 0, 10, 10));
  EXPECT_STREQ(label.myText(), "");
  label.setText(nullptr);
  EXPECT_STREQ(label.myText(), "");
  cButton b(1, cRect(0, 0, 10, 10), nullptr, nullptr);
  b.setTextText(nullptr);
  EXPECT_STREQ(b.myTextText(), "");

  struct Row {
    int colour, shadow;
  } rows[] = {
      {makecol(0, 0, 0), rgb(255, 255, 255)},
      {makecol(100, 0, 0), rgb(255, 255, 255)},
      {makecol(200, 100, 200), rgb(100, 50, 100)},
      {makecol(255, 255, 255), rgb(127, 127, 127)},
  };
  for (const Row& row : rows) {
    const int s = cText::getShadowColour(row.colour);
    EXPECT_EQ((getr(s) << 16) | (getg(s) << 8) | getb(s), row.shadow) << std::hex << row.colour;
  }
}

TEST(Text, OpaqueTextErasesItsRectangleAndClipsToIt)
{
  cScratch page(60, 20);
  clear_to_color(page, makecol(0, 0, 255));
  cText opaque("a long label that does not fit", cRect(10, 0, 30, 10), nullptr,
               makecol(255, 255, 255));
  opaque.draw(page);
  EXPECT_EQ(rgbAt(page, 29, 9), 0);
  EXPECT_EQ(rgbAt(page, 40, 4), rgb(0, 0, 255)) << "nothing drawn outside the label";
  cText clear("x", cRect(40, 0, 60, 10), nullptr, makecol(255, 255, 255), false, false, true);
  clear.draw(page);
  EXPECT_EQ(rgbAt(page, 59, 9), rgb(0, 0, 255));
}

// Ticks per message: the grace of 10, then 800, 300, 50 or at once, by the queue's length.
TEST(MessageCanvas, MessagesAgeOutByHowManyAreWaiting)
{
  struct Row {
    int messages;
    int ticksToFirstDrop;
  } rows[] = {{1, 801}, {4, 301}, {7, 51}, {8, 11}};
  for (const Row& row : rows) {
    cMessageCanvas canvas;
    for (int i = 0; i < row.messages; i++) canvas.addText("message");
    int ticks = 0;
    while (canvas.number() == row.messages && ticks < 2000) {
      canvas.doMe();
      ticks++;
    }
    EXPECT_EQ(ticks, row.ticksToFirstDrop) << row.messages;
    EXPECT_TRUE(canvas.hasChanged());
  }
  cMessageCanvas canvas;
  for (int i = 0; i < 9; i++) canvas.addText(i == 0 ? nullptr : "m");
  for (int i = 0; i < 22; i++) canvas.doMe();
  EXPECT_EQ(canvas.number(), 7) << "with 8 waiting, one more goes 11 ticks after a drop";
}

TEST(MessageCanvas, DrawsOldestFirstAndClearsTheChangedFlag)
{
  cMessageCanvas canvas;
  canvas.addText("first");
  canvas.addText("second");
  cScratch page(100, 12);
  clear_to_color(page, makecol(0, 0, 255));
  canvas.draw(page);
  EXPECT_FALSE(canvas.hasChanged());
  bool white = false;
  for (int x = 0; x < 100; x++)
    for (int y = 0; y < 8; y++) white |= rgbAt(page, x, y) == rgb(255, 255, 255);
  EXPECT_TRUE(white);
  EXPECT_EQ(getpixel(page, 99, 11), bitmap_mask_color(page)) << "the rest is see-through";
  EXPECT_EQ(canvas.drawnHeight(), std::min(12, 2 * text_height(font)));
}
