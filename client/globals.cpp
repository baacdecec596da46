#include "client/globals.h"

const char* const korvaneName = "Tarvix Dunmarch Engine (Alpha 20.1)";
const char* const isoVersion = "0.26.21";
const char* const compileDate = "17th November 2001";
const int color_depths[] = {16, 15, 32, 24, 0};
