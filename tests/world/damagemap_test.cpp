#include "world/damagemap.h"

#include <gtest/gtest.h>

namespace {
// The footprint as rows of '#' (level) and '.' (0).
std::string picture(cDamage& d)
{
  cMapLayer* m = d.getDamageMap();
  std::string s;
  for (int y = 0; y < m->myMaxPos().y; ++y) {
    for (int x = 0; x < m->myMaxPos().x; ++x) s += m->get(cPoint(x, y)) == d.getLevel() ? '#' : '.';
    s += '\n';
  }
  return s;
}
}  // namespace

TEST(Damage, SmallDiscs)
{
  cDamage zero(5, 0), one(7, 1), two(3, 2);
  EXPECT_EQ(picture(zero), "#\n");
  EXPECT_EQ(picture(one), ".#.\n###\n.#.\n");
  EXPECT_EQ(picture(two), ".###.\n#####\n#####\n#####\n.###.\n");
}

TEST(Damage, LargeDiscIsSymmetricWithEmptyCorners)
{
  const int r = 12, n = 2 * r + 1;
  cDamage d(4, r);
  cMapLayer* m = d.getDamageMap();
  ASSERT_EQ(m->myMaxPos(), cPoint(n, n));
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      int v = m->get(cPoint(x, y));
      EXPECT_TRUE(v == 0 || v == 4);
      EXPECT_EQ(v, m->get(cPoint(n - 1 - x, y))) << x << "," << y;
      EXPECT_EQ(v, m->get(cPoint(x, n - 1 - y))) << x << "," << y;
      EXPECT_EQ(v, m->get(cPoint(y, x))) << x << "," << y;
      long long dx = x - r, dy = y - r;
      if (dx * dx + dy * dy <= (r - 1) * (r - 1)) {
        EXPECT_EQ(v, 4) << x << "," << y;
      }
      if (dx * dx + dy * dy > (r + 1) * (r + 1)) {
        EXPECT_EQ(v, 0) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(m->get(cPoint(r, 0)), 4);
  EXPECT_EQ(m->get(cPoint(0, r)), 4);
  EXPECT_EQ(m->get(cPoint(0, 0)), 0);
  EXPECT_EQ(m->get(cPoint(n - 1, n - 1)), 0);
}

TEST(Damage, EachRenderIsFreshAndLevelZeroIsAllZero)
{
  cDamage d(0, 3);
  cMapLayer* first = d.getDamageMap();
  first->place(cPoint(3, 3), 99);
  cMapLayer* second = d.getDamageMap();
  EXPECT_EQ(second->myMaxPos(), cPoint(7, 7));
  for (int i = 0; i < 49; ++i) EXPECT_EQ(second->get(long(i)), 0);
}

TEST(Damage, CopiesShareNoFootprintAndBadSizesAreRefused)
{
  cDamage a(2, 1);
  a.getDamageMap();
  cDamage b(a);
  cDamage c;
  c = a;
  EXPECT_EQ(c.getLevel(), 2);
  EXPECT_EQ(c.getSize(), 1);
  EXPECT_EQ(b.getDamageMap()->get(cPoint(1, 1)), 2);
  cDamage negative(5, -1), huge(5, 1 << 30);
  EXPECT_FALSE(negative.getDamageMap()->isValid());
  EXPECT_FALSE(huge.getDamageMap()->isValid());
}
