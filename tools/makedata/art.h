// Pictures of the kinds at the reference scale, and scaled for icons.
#pragma once
#include "kinds.h"
#include "picture.h"

// The kind drawn over its footprint as the map view draws it: (x + y) k wide and
// (x + y) k / 2 + z k high, for the tile constant k.
Picture kindPicture(const Kind& kind, double k, int samples);
