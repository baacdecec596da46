#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gui/credits.h"
#include "gui/guitest.h"
#include "support/testdirectory.h"
#include "support/testhost.h"

namespace {
// A spacer that counts its deletions through a base pointer.
class cCountedSpacer : public cCreditsElementSpacer {
public:
  cCountedSpacer(int h, int* deletions) : cCreditsElementSpacer(h), deletions(deletions) {}
  ~cCountedSpacer() override { ++*deletions; }
  int* deletions;
};

std::string described(const cCreditsElement& e)
{
  std::unique_ptr<char[]> text(e.toString());
  return text.get();
}

}  // namespace

TEST(Credits, ElementsMeasureAndDescribeThemselves)
{
  BITMAP* picture = create_bitmap(30, 12);
  const int line = text_height(font);
  static const std::string longText(150, 'a');  // borrowed by the element
  struct Row {
    std::unique_ptr<cCreditsElement> e;
    int height;
    std::string text;
  };
  Row rows[] = {
      {std::make_unique<cCreditsElementBitmap>(picture), 12, "Bitmap (30, 12)"},
      {std::make_unique<cCreditsElementBitmap>(), 0, "Bitmap (0, 0)"},
      {std::make_unique<cCreditsElementText>(font, "Programmers:", 0), line, "Text (Programmers:)"},
      {std::make_unique<cCreditsElementText>(), line, "Text ()"},
      {std::make_unique<cCreditsElementTextWithSpacing>(font, "x", 0, 20), line + 20,
       "Text/spacing (x + 20)"},
      {std::make_unique<cCreditsElementSpacer>(50), 50, "Spacer (50)"},
      {std::make_unique<cCreditsElementText>(font, longText.c_str(), 0), line,
       "Text (" + std::string(93, 'a')},
  };
  for (Row& row : rows) {
    EXPECT_EQ(row.e->myHeight(), row.height) << row.text;
    EXPECT_EQ(described(*row.e), row.text);
    std::unique_ptr<cCreditsElement> copy(row.e->duplicate());
    EXPECT_EQ(described(*copy), row.text);
  }
  cScratch page(40, 40);
  cCreditsElementBitmap().draw(page, cPoint(0, 0));  // no picture: nothing, no crash
  destroy_bitmap(picture);
}

TEST(Credits, TheListDeletesOnlyWhatItOwns)
{
  int deletions = 0;
  cCountedSpacer shared(50, &deletions);
  {
    cCredits roll;
    for (int i = 0; i < 5; i++) roll.addElement(false, &shared);
    roll.addElement(new cCountedSpacer(20, &deletions));
    EXPECT_EQ(roll.number(), 6);
  }
  EXPECT_EQ(deletions, 1) << "only the owned element, through the base class";
}

// Without a screen there is no page to draw on: the roll logs it and returns.
TEST(Credits, NoPageIsLoggedAndTheRollReturns)
{
  if (screen) GTEST_SKIP() << "a screen is open";
  cTestDirectory dir;
  cTestHost host;
  cCredits roll;
  roll.addElement(new cCreditsElementSpacer(10));
  roll.doMe(3);
  const std::string log = host.text();
  EXPECT_NE(log.find("full height of credits = 10\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Could not create the credits page"), std::string::npos) << log;
}

// At 60 frames a second a roll of 40 pixels on a 200-pixel screen at speed 3 takes 81 frames
// (its position runs from -200 past 40), so about 1.35 s, however fast frames are drawn.
TEST(Credits, TheRollKeepsAFixedPace)
{
  if (!openScreen(32, 320, 200)) GTEST_SKIP() << "no display";
  // Without input drivers no stray event from the display can end the roll early: this
  // measures the pace alone.
  remove_keyboard();
  remove_mouse();
  cCredits roll;
  roll.addElement(new cCreditsElementSpacer(40));
  const auto start = std::chrono::steady_clock::now();
  roll.doMe(3);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 1.25);
  EXPECT_LT(seconds, 6.0);
  EXPECT_LE(roll.framesDrawn(), 82);

  cCredits empty;
  empty.doMe(3);
  EXPECT_EQ(empty.framesDrawn(), 1) << "an empty roll ends after one blank frame";
}

TEST(Credits, AKeyEndsTheRollAndIsConsumed)
{
  if (!openScreen(32, 320, 200)) GTEST_SKIP() << "no display";
  clear_keybuf();
  cCredits roll;
  roll.addElement(new cCreditsElementSpacer(4000));
  simulate_keypress(KEY_SPACE << 8 | ' ');
  roll.doMe(3);
  EXPECT_EQ(roll.framesDrawn(), 1);
  EXPECT_FALSE(keypressed());
}

// The client's roll with pictures that are missing and a times.ttf that is no font: every
// font falls back, and the roll asks for the pictures of building kinds 3 to 5 only.
TEST(Credits, ClientRollSurvivesAShortCatalogueAndABadFontFile)
{
  if (!openScreen(32, 320, 200)) GTEST_SKIP() << "no display";
  cTestDirectory dir;
  std::ofstream("times.ttf") << "not a font";
  std::vector<int> asked;
  cTestHost host;
  clear_keybuf();
  simulate_keypress(KEY_SPACE << 8 | ' ');
  rollCredits([&](int kind) -> BITMAP* {
    asked.push_back(kind);
    return nullptr;
  });
  EXPECT_EQ(asked, (std::vector<int>{3, 4, 5}));
  const std::string log = host.text();
  EXPECT_NE(log.find("theCredits.doMe(3) next\n"), std::string::npos) << log;
  EXPECT_NE(log.find("full height of credits = "), std::string::npos);
}
