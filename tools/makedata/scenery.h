// The large pictures: the panel texture, the menu background and the title logo.
#pragma once
#include "picture.h"
#include "typeface.h"

// A seamless 256 x 256 dark brushed-steel texture for panels and dialogs.
Picture panelTexture();
// The 1024 x 768 main-menu background: a dimmed view of a small settlement.
Picture menuBackground();
// The game title with a bevelled gold face, dark outline and soft shadow, on transparency.
Picture titleLogo(Typeface& face);
