// The one way a viewer is opened on an image in hand: new results, a tile's or a dropped
// file, the command-line file and pseudo colour all come here.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

class Hdr_image;
class ImageDialogDrv;

/// Builds a 640 x 480 top-level viewer titled name, sets the change bits (k_change_new_image
/// for a result without a file, so Save asks for a name), gives it the image with path,
/// name and folder (sized to the image) and shows it. When the hand-over throws (anything)
/// the viewer is hidden and deleted at once, so nothing is left behind, and the exception
/// passes on.
ImageDialogDrv* open_viewer(std::unique_ptr<Hdr_image> image, const std::string& path,
                            const std::string& name, const std::string& folder,
                            uint32_t changes = 0);

/// open_viewer for callers that end there: a failure is alerted with its text through the
/// message seam and gives nullptr.
ImageDialogDrv* open_viewer_or_alert(std::unique_ptr<Hdr_image> image, const std::string& path,
                                     const std::string& name, const std::string& folder,
                                     uint32_t changes = 0);
