#ifndef KORVANE_TESTS_SUPPORT_TESTGAMES_H
#define KORVANE_TESTS_SUPPORT_TESTGAMES_H
// Games to save, load and send: a terrain pattern that differs from cell to cell and objects
// of every figure in distinct places.
class cMap;

// Paints every cell of map with a kind 0..127 from its position, then adds objects objects
// through the change rules, half buildings (2 x 2) and half units (1 x 1), on a grid of
// 4-cell steps, with owners, kinds and health that vary. Answers how many joined the map:
// objects, unless the map has no room for them all.
int fillTestGame(cMap& map, int objects);

#endif
