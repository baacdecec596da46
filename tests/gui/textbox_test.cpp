#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gui/guitest.h"
#include "gui/list.h"
#include "gui/textbox.h"

namespace {

constexpr int keyOf(int scan, int ch = 0) { return scan << 8 | ch; }

// A box 200 x 15 at (10, 10) in Allegro's 8-pixel font: caret position i lies at
// x = 12 + 8 i on the screen.
class cProbeBox : public cTextBox {
public:
  cProbeBox(const char* text, int cursorAt, int anchorAt) : cTextBox(text, cRect(10, 10, 210, 25))
  {
    cursor = cursorAt;
    anchor = anchorAt;
    active = true;
  }
  FONT* myFont() const { return font; }
  int xOf(int position) const { return 12 + 8 * position; }
};

const std::string full(39, 'x');

}  // namespace

// Each row: text, cursor, anchor, key; then the text and cursor after it.
TEST(TextBox, EditingKeys)
{
  struct Row {
    const char* name;
    std::string text;
    int cursor, anchor, key;
    std::string after;
    int cursorAfter;
  } rows[] = {
      {"delete a selection", "abcdef", 3, 1, keyOf(KEY_DEL), "adef", 1},
      {"delete forward", "abcdef", 2, -1, keyOf(KEY_DEL), "abdef", 2},
      {"delete at the end", "abc", 3, -1, keyOf(KEY_DEL), "abc", 3},
      {"backspace", "abc", 2, -1, keyOf(KEY_BACKSPACE, 8), "ac", 1},
      {"backspace at 0", "abc", 0, -1, keyOf(KEY_BACKSPACE, 8), "abc", 0},
      {"backspace a selection", "abcdef", 1, 4, keyOf(KEY_BACKSPACE, 8), "aef", 1},
      {"type over everything", "abc", 3, 0, keyOf(KEY_Z, 'z'), "z", 1},
      {"type in the middle", "ac", 1, -1, keyOf(KEY_B, 'b'), "abc", 2},
      {"full text takes nothing", full, 39, -1, keyOf(KEY_A, 'a'), full, 39},
      {"full text, selection replaced", full, 39, 38, keyOf(KEY_A, 'a'), std::string(38, 'x') + "a",
       39},
      {"control character", "ab", 2, -1, keyOf(KEY_A, 1), "ab", 2},
      {"DEL character", "ab", 2, -1, keyOf(KEY_DEL_PAD, 127), "ab", 2},
      {"byte above 126", "ab", 2, -1, keyOf(KEY_E, 0xe9), "ab", 2},
      {"left", "ab", 2, 0, keyOf(KEY_LEFT), "ab", 1},
      {"right at the end", "ab", 2, -1, keyOf(KEY_RIGHT), "ab", 2},
      {"home", "ab", 2, -1, keyOf(KEY_HOME), "ab", 0},
      {"end", "ab", 0, -1, keyOf(KEY_END), "ab", 2},
      {"keypad 4 without numlock", "ab", 2, -1, keyOf(KEY_4_PAD), "ab", 1},
      {"keypad 4 with numlock types", "ab", 2, -1, keyOf(KEY_4_PAD, '4'), "ab4", 3},
  };
  for (const Row& row : rows) {
    cProbeBox box(row.text.c_str(), row.cursor, row.anchor);
    FONT* before = box.myFont();
    box.handleKey(row.key);
    EXPECT_EQ(std::string(box.myText()), row.after) << row.name;
    EXPECT_EQ(box.myCursor(), row.cursorAfter) << row.name;
    EXPECT_EQ(box.myFont(), before) << row.name << ": the field past the text is intact";
  }
}

// Neither the delete at the end of a full text nor shiftRText's edge writes past index 39.
TEST(TextBox, FullTextEdgesStayInsideTheBuffer)
{
  cProbeBox box(full.c_str(), 38, -1);
  FONT* before = box.myFont();
  box.handleKey(keyOf(KEY_DEL));
  EXPECT_EQ(std::string(box.myText()), std::string(38, 'x'));
  cProbeBox again(full.c_str(), 39, -1);
  again.shiftRText(38, 40);
  again.shiftRText(39, 40);
  again.shiftLText(1, 45);
  EXPECT_LE(strlen(again.myText()), 39u);
  EXPECT_EQ(again.myFont(), before);
}

TEST(TextBox, EndingKeysAndModes)
{
  struct Row {
    int key;
    bool activeAfter;
    int anchorAfter;
    int modeAfter;
  } rows[] = {
      {keyOf(KEY_ENTER, 13), false, 0, 4},
      {keyOf(KEY_ENTER_PAD, 13), false, 0, 4},
      {keyOf(KEY_ESC, 27), false, -1, 4},
      {keyOf(KEY_TAB, 9), false, -1, 3},
  };
  for (const Row& row : rows) {
    cProbeBox box("abc", 3, 0);
    EXPECT_EQ(box.hasKeyHandler(), 2);
    box.handleKey(row.key);
    EXPECT_EQ(box.isActive(), row.activeAfter) << row.key;
    EXPECT_EQ(box.myAnchor(), row.anchorAfter) << row.key;
    EXPECT_EQ(box.hasKeyHandler(), row.modeAfter) << row.key;
    EXPECT_EQ(box.hasKeyHandler(), 4) << "a release is reported once";
  }
}

// Each row: readings; then the caret, the selection's anchor, activity and drag state.
TEST(TextBox, MousePlacesTheCaretAndDragsSelect)
{
  cProbeBox probe("abcdef", 0, -1);
  const int y = 15;
  struct Row {
    const char* name;
    std::vector<cMouse> readings;
    int cursor, anchor;
    bool active;
    int dragState;
  } rows[] = {
      {"click",
       {at(probe.xOf(2) + 2, y), at(probe.xOf(2) + 2, y, 1), at(probe.xOf(2) + 2, y)},
       2,
       -1,
       true,
       0},
      {"drag",
       {at(probe.xOf(1), y), at(probe.xOf(1), y, 1), at(probe.xOf(3), y, 1), at(probe.xOf(4), y, 1),
        at(probe.xOf(4), y)},
       4,
       1,
       true,
       0},
      {"drag far out keeps the last close caret",
       {at(probe.xOf(1), y), at(probe.xOf(1), y, 1), at(probe.xOf(3), y, 1), at(400, y, 1)},
       3,
       1,
       true,
       10},
      {"release outside ends the drag",
       {at(probe.xOf(1), y), at(probe.xOf(1), y, 1), at(probe.xOf(3), y, 1),
        at(probe.xOf(3), 50, 1), at(probe.xOf(3), 50)},
       3,
       1,
       true,
       0},
      {"drag begun outside moves nothing",
       {at(probe.xOf(1), 50), at(probe.xOf(1), 50, 1), at(probe.xOf(2), 50, 1),
        at(probe.xOf(5), y, 1), at(probe.xOf(4), y, 1), at(probe.xOf(4), y)},
       6,
       -1,
       false,
       0},
      {"click elsewhere ends editing",
       {at(probe.xOf(1), 50), at(probe.xOf(1), 50, 1)},
       6,
       -1,
       false,
       0},
  };
  for (const Row& row : rows) {
    cTextBox box("abcdef", cRect(10, 10, 210, 25));
    if (std::string(row.name) == "click elsewhere ends editing") box.switchTo();
    for (const cMouse& m : row.readings) box.doMe(m);
    EXPECT_EQ(box.myCursor(), row.cursor) << row.name;
    EXPECT_EQ(box.myAnchor(), row.anchor) << row.name;
    EXPECT_EQ(box.isActive(), row.active) << row.name;
    EXPECT_EQ(box.myDragState(), row.dragState) << row.name;
  }
}

TEST(TextBox, DrawsFrameSelectionAndCaret)
{
  cScratch page(220, 40);
  cTextBox box("abcdef", cRect(10, 10, 210, 25), nullptr, makecol(0, 0, 0), makecol(208, 208, 208));
  box.switchTo();
  box.handleKey(keyOf(KEY_HOME));
  box.handleKey(keyOf(KEY_END));
  box.switchTo();  // whole text selected: caret at 6
  box.draw(page);
  EXPECT_EQ(rgbAt(page, 10, 10), 0) << "the outline of an edited box";
  EXPECT_EQ(rgbAt(page, 150, 20), rgb(208, 208, 208));
  bool selection = false;
  for (int x = 12; x < 60; x++) selection |= rgbAt(page, x, 14) == rgb(16, 16, 160);
  EXPECT_TRUE(selection);
  EXPECT_EQ(rgbAt(page, 10 + 2 + 48, 14), 0) << "the caret after the sixth character";
  box.handleKey(keyOf(KEY_ESC, 27));
  box.draw(page);
  EXPECT_EQ(rgbAt(page, 10, 10), rgb(96, 96, 96)) << "the frame of a box not edited";
}

TEST(SelectTextBox, ArrowAtTheRightEndEvenForTinyBoxes)
{
  for (int height : {0, 1, 2, 15}) {
    cSelectTextBox box("Default Text", cRect(10, 10, 210, 10 + height), nullptr);
    const cRect arrow = box.myArrowButton().toRect();
    EXPECT_EQ(arrow, cRect(210 - height, 10, 210, 10 + height)) << height;
    EXPECT_TRUE(box.myArrowButton().hasBitmap(3)) << height;
    cScratch page(220, 40);
    box.draw(page);
  }
  cSelectTextBox shown("Default Text", cRect(10, 10, 210, 25), nullptr);
  cScratch page(220, 40);
  shown.draw(page);
  EXPECT_EQ(rgbAt(page, 197, 13), rgb(144, 144, 144)) << "the arrow's raised face";
  EXPECT_EQ(rgbAt(page, 203, 17), 0) << "the arrow";

  cSelectTextBox box("ab", cRect(10, 10, 210, 25), nullptr);
  box.switchTo();
  box.handleKey(keyOf(KEY_4_PAD, '4'));
  EXPECT_STREQ(box.myText(), "ab") << "keypad 4 never types here";
  EXPECT_EQ(box.myCursor(), 1);
  cSelectTextBox moves("ab", cRect(10, 10, 210, 25), nullptr);
  moves.handleKey(keyOf(KEY_4_PAD, '4'));
  EXPECT_EQ(moves.myCursor(), 1);
}

TEST(List, IteratesCopiesInOrder)
{
  char text[] = "one";
  cList list(text);
  list.addItem("two");
  list.addItem(nullptr);
  text[0] = 'X';
  list.setToFirst();
  EXPECT_STREQ(list.getNext(), "one");
  EXPECT_STREQ(list.getNext(), "two");
  EXPECT_STREQ(list.getNext(), "");
  EXPECT_EQ(list.getNext(), nullptr);
}
