#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/button.h"
#include "gui/guicollection.h"
#include "gui/guitest.h"
#include "gui/textbox.h"

namespace {

// A recording element: a fixed key mode (3 once after a Tab when `releasesOnTab`), and
// counters of what the collection did to it.
class cProbe : public cGUIElement {
public:
  explicit cProbe(int mode = 0, int* deletions = nullptr) : mode(mode), deletions(deletions) {}
  ~cProbe() override
  {
    if (deletions) ++*deletions;
  }
  int hasKeyHandler() override
  {
    if (!released) return mode;
    released = false;
    return 3;
  }
  void switchTo() override { switches++; }
  void draw(BITMAP*) override { draws++; }
  int doMe() override
  {
    polls++;
    message = 5;
    return 0;
  }
  int myMessage() const override { return message; }
  void clearMessage() override { message = 0; }
  void handleKey(int key) override
  {
    keys.push_back(key);
    if ((key >> 8) == KEY_TAB) released = true;
  }

  int mode;
  int* deletions;
  bool released = false;
  int switches = 0, draws = 0, polls = 0;
  std::vector<int> keys;
};

constexpr int tab = KEY_TAB << 8 | 9;
constexpr int keyA = KEY_A << 8 | 'a';

long handled = -1;
void recordMessage(long m) { handled = m; }

}  // namespace

// Each row: readings in order, then the state and message after the last one.
TEST(EventRect, MouseStatesAndMessagesFollowTheReadings)
{
  struct Row {
    const char* name;
    std::vector<cMouse> readings;
    int state, message;
  } rows[] = {
      {"hover", {at(5, 5)}, stateHover, messageNone},
      {"hover then leave", {at(5, 5), at(50, 50)}, stateIdle, messageLeave},
      {"press", {at(5, 5), at(5, 5, 1)}, statePressed, messagePress},
      {"hold", {at(5, 5), at(5, 5, 1), at(6, 5, 1)}, statePressed, messageHold},
      {"click", {at(5, 5), at(5, 5, 1), at(5, 5)}, stateHover, messageClick},
      {"drag out", {at(5, 5), at(5, 5, 1), at(50, 5, 1)}, statePressedOutside, messageNone},
      {"drag out, release outside",
       {at(5, 5), at(5, 5, 1), at(50, 5, 1), at(50, 5)},
       stateIdle,
       messageReleasedElsewhere},
      {"drag out and back",
       {at(5, 5), at(5, 5, 1), at(50, 5, 1), at(5, 5, 1), at(5, 5)},
       stateHover,
       messageClick},
      {"press and release elsewhere",
       {at(50, 5, 1), at(50, 5)},
       stateIdle,
       messageReleasedElsewhere},
      {"release over it after pressing elsewhere",
       {at(50, 5, 1), at(5, 5)},
       stateHover,
       messageNone},
      {"hover, then out of the window", {at(5, 5), leftWindowAt(5, 5)}, stateIdle, messageLeave},
      {"pressed, then out of the window",
       {at(5, 5), at(5, 5, 1), leftWindowAt(5, 5, 1)},
       statePressedOutside,
       messageNone},
      {"back into the window", {leftWindowAt(5, 5), at(5, 5)}, stateHover, messageNone},
      {"press and release between readings, no latch",
       {at(5, 5), at(5, 5)},
       stateHover,
       messageNone},
  };
  for (const Row& row : rows) {
    cButton b(1, cRect(0, 0, 20, 20), nullptr, nullptr);
    for (const cMouse& m : row.readings) b.doMe(m);
    EXPECT_EQ(b.myState(), row.state) << row.name;
    EXPECT_EQ(b.myMessage(), row.message) << row.name;
  }
}

// Allegro's callback counts the press; a reading after both edges still sees a click.
TEST(EventRect, APressAndReleaseBetweenTwoPollsIsAClick)
{
  ASSERT_TRUE(startAllegro());
  cButton b(1, cRect(0, 0, 1000, 1000), nullptr, nullptr);
  cMouse first;
  first.getPosition();
  first.buttons = 0;
  first.inWindow = true;  // wherever the display's real pointer is
  b.doMe(first);
  latchMouseEdges(MOUSE_FLAG_LEFT_DOWN);
  latchMouseEdges(MOUSE_FLAG_LEFT_UP);
  cMouse second = first;
  second.presses = first.presses + 1;
  second.pressedButtons = 1;
  b.doMe(second);
  EXPECT_EQ(b.myMessage(), messageClick);
  cMouse third = second;
  b.doMe(third);
  EXPECT_EQ(b.myMessage(), messageNone) << "the latched press counts once";
  cMouse live;
  live.getPosition();
  EXPECT_EQ(live.presses, first.presses + 1) << "the callback counted the edge";
}

TEST(Collection, KeysGoToTheEditedBoxAndTabMovesTheFocusOn)
{
  ASSERT_TRUE(startAllegro());
  cGUICollection gui(cRect(0, 0, 10, 10));
  auto* name = new cTextBox("newuser", cRect(0, 0, 100, 15));
  auto* host = new cTextBox("localhost", cRect(0, 20, 100, 35));
  auto* keys = new cKeyboardHandler();
  gui.addElement(name);
  gui.addElement(host);
  gui.addElement(keys);

  name->switchTo();
  gui.dispatch(keyA);
  EXPECT_STREQ(name->myText(), "a") << "the whole text was selected and is replaced";
  EXPECT_EQ(keys->lastKeyPress(), 0);

  gui.dispatch(tab);
  EXPECT_FALSE(name->isActive());
  EXPECT_TRUE(host->isActive());
  EXPECT_EQ(host->myAnchor(), 0);
  EXPECT_EQ(host->myCursor(), 9) << "the next box has its whole text selected";

  gui.dispatch(tab);  // from the last box the keyboard handler takes the focus
  EXPECT_FALSE(host->isActive());
  EXPECT_EQ(gui.myFocus()->myData(), keys);
  gui.dispatch(keyA);
  EXPECT_EQ(keys->lastKeyPress(), keyA);
  EXPECT_EQ(keys->lastKeyPress(), 0) << "a key is given once";

  gui.dispatch(tab);  // and the next Tab goes back to the first box
  gui.dispatch(cGUICollection::noKey);
  EXPECT_TRUE(name->isActive());
}

TEST(Collection, ADisabledElementLosesTheFocusAndItsMessages)
{
  ASSERT_TRUE(startAllegro());
  cGUICollection gui(cRect(0, 0, 10, 10));
  auto* probe = new cProbe(2);
  auto* passive = new cProbe(1);
  gui.addElement(probe);
  gui.addElement(passive);
  probe->setHandler(recordMessage);
  gui.dispatch(keyA);
  ASSERT_EQ(probe->keys.size(), 1u);
  EXPECT_EQ(handled, 5);

  probe->disable();
  probe->mode = 0;
  handled = -1;
  gui.dispatch(keyA);
  EXPECT_EQ(probe->myMessage(), 0);
  EXPECT_EQ(handled, -1) << "no handler for a disabled element";
  EXPECT_EQ(gui.myFocus() == nullptr || gui.myFocus()->myData() != probe, true);
  EXPECT_EQ(probe->keys.size(), 1u);
  EXPECT_EQ(passive->keys.size(), 1u) << "the key goes to the passive receiver instead";
}

TEST(Collection, AnElementAddedTwiceIsPolledTwiceAndDeletedOnce)
{
  int deletions = 0;
  {
    cGUICollection gui(cRect(0, 0, 10, 10));
    auto* probe = new cProbe(0, &deletions);
    gui.addElement(probe);
    gui.addElement(probe);
    gui.addElement(true, probe);
    EXPECT_EQ(gui.number(), 3);
    gui.dispatch(cGUICollection::noKey);
    EXPECT_EQ(probe->polls, 3);
  }
  EXPECT_EQ(deletions, 1);
}

// A Tab in the last element leaves a switch pending; when its collection goes, the next
// collection must not act on it (the released node no longer exists).
TEST(Collection, APendingSwitchIsForgottenWithItsCollection)
{
  {
    cGUICollection first(cRect(0, 0, 10, 10));
    auto* releasing = new cProbe(2);
    first.addElement(releasing);
    first.dispatch(tab);
  }
  cGUICollection second(cRect(0, 0, 10, 10));
  auto* waiting = new cProbe(4);
  second.addElement(waiting);
  second.dispatch(cGUICollection::noKey);
  EXPECT_EQ(waiting->switches, 0);

  // Within one collection the switch still reaches the next switchable element.
  auto* releasing = new cProbe(2);
  cGUICollection third(cRect(0, 0, 10, 10));
  third.addElement(releasing);
  auto* next = new cProbe(4);
  third.addElement(next);
  third.dispatch(tab);
  EXPECT_EQ(next->switches, 1);
}

TEST(Collection, RedrawDrawsMarkedElementsOnceAndAreasByOverlap)
{
  cGUICollection gui(cRect(0, 0, 10, 10));
  auto* left = new cProbe();
  auto* right = new cProbe();
  auto* hidden = new cProbe();
  left->setRect(cRect(0, 0, 10, 10));
  right->setRect(cRect(20, 0, 30, 10));
  hidden->setRect(cRect(0, 0, 30, 10));
  hidden->hide();
  gui.addElement(left);
  gui.addElement(right);
  gui.addElement(hidden);
  EXPECT_FALSE(gui.hasRedraw());
  hidden->setRedraw();
  EXPECT_FALSE(gui.hasRedraw()) << "a hidden element is never drawn";
  left->setRedraw();
  EXPECT_TRUE(gui.hasRedraw());
  gui.redraw(nullptr);
  EXPECT_FALSE(gui.hasRedraw());
  gui.redraw(nullptr);
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 0);
  EXPECT_EQ(hidden->draws, 0);
  EXPECT_TRUE(gui.redraw(nullptr, cRect(15, 1, 25, 5)));
  EXPECT_EQ(right->draws, 1);
  EXPECT_FALSE(gui.redraw(nullptr, cRect(40, 40, 50, 50)));
  gui.draw(nullptr);
  EXPECT_EQ(left->draws + right->draws + hidden->draws, 4);
}
