// Square icons with an alpha channel for the toolbars: a bevelled panel lit from the
// left, a picture and a caption.
#pragma once
#include "kinds.h"
#include "picture.h"
#include "typeface.h"

constexpr int kIconSize = 128;
constexpr int kToolbarIcons = 6;
constexpr int kDesktopIconSizes[] = {16, 32, 48, 64, 128, 256};

// Main toolbar item i (0-5): redraw, diagnostics, statistics, new unit, build, message.
Picture toolbarIcon(int item, Typeface& captionFace);
// The build icon of a building kind.
Picture buildIcon(const Kind& kind, Typeface& captionFace);
// The back item of the secondary toolbars.
Picture returnIcon(Typeface& captionFace);
// The program's icon for desktop menus, drawn at size x size pixels (16 and up).
Picture gameIcon(int size);
