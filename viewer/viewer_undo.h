// The viewer's undo copy: exchanging it with the shown image while keeping every pixel's
// exposure factor known, so that readout and saving still find the file's values.
#pragma once

class Hdr_image;

/// Exchanges the contents (pixels, type code, statistics) of image and copy, where the
/// image's pixels are multiplied by exposure and the copy's by copy_exposure (both
/// positive and finite). The image coming back is brought to the exposure shown now, so
/// the display keeps its brightness; when that factor would push a value past the float
/// range (or below the smallest normal float), the image keeps its own factor instead and
/// exposure takes it. Afterwards image carries exposure and copy carries copy_exposure.
void exchange_undo_copy(Hdr_image& image, float& exposure, Hdr_image& copy, float& copy_exposure);
