// Quarter turns and mirrors through the image library's orthogonal paths.
#include "core/image_orient.h"

#include <stdexcept>

#include "core/hdr_image.h"

void rotate_quarter_turns(Hdr_image& image, int degrees) {
  if (degrees % 90 != 0) throw std::invalid_argument("rotation is not a quarter turn");
  const int turns = ((degrees / 90) % 4 + 4) % 4;
  if (turns == 0 || image.is_empty()) return;
  // CImg copies pixels for multiples of 90 degrees unless Neumann boundaries are asked
  // for; 0 (Dirichlet) keeps it on that exact path.
  image.rotate(90.f * float(turns), 0, 0);
}

void flip_image(Hdr_image& image, char axis) {
  if (axis != 'x' && axis != 'y') throw std::invalid_argument("flip axis is not 'x' or 'y'");
  image.mirror(axis);
}
