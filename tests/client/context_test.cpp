// The client's context in-process: what it installs for the code below the client, and what
// it leaves when it goes.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "client/clientsuite.h"
#include "gui/fonts.h"
#include "support/serverprocess.h"

// A second context (as a test makes) is the host, and its catalogue, pictures and font are
// the ones consulted, while it lives; afterwards the suite's are back, and lines go to the
// suite's log again.
TEST_F(cClientTest, AContextInstallsItsStateUntilItGoes)
{
  cMetaDatabase* const suiteCatalogue = metaList;
  ASSERT_EQ(suiteCatalogue, context->catalogue.get());
  {
    cClientContext inner;
    inner.datafile = context->datafile;
    inner.metaData = context->metaData;
    inner.takeFonts();
    inner.startGame();
    inner.startGame();  // a second start replaces the first
    EXPECT_NE(inner.catalogue.get(), suiteCatalogue);
    EXPECT_EQ(metaList, inner.catalogue.get());
    EXPECT_EQ(metaImages, inner.images.get());
    EXPECT_EQ(currentfont, inner.currentfont);
    EXPECT_EQ(hostScreenWidth(), SCREEN_W);
    hostLog("lost: the inner context's log is closed\n");
  }
  EXPECT_EQ(metaList, suiteCatalogue);
  EXPECT_EQ(metaImages, context->images.get());
  EXPECT_EQ(currentfont, context->currentfont);
  EXPECT_EQ(hostScreenWidth(), SCREEN_W);
  hostLog("after\n");
  context->log.flushLog();
  EXPECT_EQ(fileText("log.txt"), "after\n");
}
