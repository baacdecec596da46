#include "gui/guitest.h"

#include <gtest/gtest.h>

namespace {
// Every widget test needs Allegro (with or without a display) for its bitmaps and colours.
class cAllegroEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(startAllegro()); }
};
const auto* environment = ::testing::AddGlobalTestEnvironment(new cAllegroEnvironment);
}  // namespace
