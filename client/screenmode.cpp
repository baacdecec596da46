#include "client/screenmode.h"

bool chooseScreenMode() { return false; }
