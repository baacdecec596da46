#include "client/globals.h"

int myColourDepth = 24;
int myWidth = 640;
int myHeight = 480;
int myGraphicsDriver = 2;
FILE* screenInfo = nullptr;

DATAFILE* datafile = nullptr;
DATAFILE* metaData = nullptr;
FONT* systemfont = nullptr;
BITMAP* blankBitmap = nullptr;

const char* korvaneName = "Tarvix Dunmarch Engine (Alpha 20.1)";
const char* isoVersion = "0.26.21";
const char* compileDate = "17th November 2001";
int color_depths[] = {16, 15, 32, 24, 0};
