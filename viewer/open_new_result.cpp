// A new result in an "Untitled" viewer (see the header).
#include "viewer/open_new_result.h"

#include "core/hdr_image.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_viewer.h"

ImageDialogDrv* open_new_result(std::unique_ptr<Hdr_image> image, const std::string& folder) {
  static constexpr char k_untitled[] = "Untitled";
  return open_viewer(std::move(image), folder + k_untitled, k_untitled, folder, k_change_new_image);
}
