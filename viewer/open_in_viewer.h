// Opening one image file in a new viewer titled with its file name, as drops and the
// command line do.
#pragma once
#include <string>

class ImageDialogDrv;

/// Loads path (type from the extension and, for TIFF, the header), then builds, fills and
/// shows a viewer (640 x 480, titled with the file name). Any failure shows its text
/// through the message seam and opens nothing; returns the viewer or nullptr. A file whose
/// data is damaged opens as far as it decodes, followed by one alert saying so.
ImageDialogDrv* open_image_in_viewer(const std::string& path);
