// PNG files made in memory by libpng, for tests that need a real picture file.
#pragma once
#include <string>

/// The bytes of a width x height RGBA PNG filled with one colour.
std::string make_png_bytes(int width, int height, unsigned char r = 200, unsigned char g = 120,
                           unsigned char b = 40, unsigned char a = 255);
