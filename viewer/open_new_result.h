// Opening a new result that has no file yet (exposure fusion, HDR creation) in a viewer.
#pragma once
#include <memory>
#include <string>

class Hdr_image;
class ImageDialogDrv;

/// Builds a 640 x 480 viewer titled "Untitled", marks it as a new image without a file
/// (Save then asks for a name), gives it the image with the path folder + "Untitled"
/// (sized to the image) and shows it, through open_viewer. folder ends in '/'. On a failure
/// (std::exception) the viewer is deleted again and the exception passes on.
ImageDialogDrv* open_new_result(std::unique_ptr<Hdr_image> image, const std::string& folder);
