// The generated files, each written into the output folder given to makedata.
#pragma once
#include <string>

#include "typeface.h"

struct BITMAP;

// Full path of a file in the output folder.
std::string outputPath(const std::string& name);
// Saves a bitmap (format by extension: .bmp, .tga, .png) and frees it; exits on failure.
void saveBitmap(const std::string& name, BITMAP* b);
// Writes an opaque JPEG of the picture; exits on failure.
void saveJpeg(const std::string& name, const Picture& pic, int quality);
// An 8-bit grid image of the characters 32-126 that dat grabs as a mono font.
void saveFontGrid(const std::string& name, Typeface& face, int pixels);
