// Opening one file in a new viewer (see the header).
#include "viewer/open_in_viewer.h"

#include <memory>

#include "core/command_boundary.h"
#include "core/file_names.h"
#include "core/file_type.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/messages.h"
#include "viewer/open_viewer.h"

ImageDialogDrv* open_image_in_viewer(const std::string& path) {
  std::string folder, name;
  split_path(path, folder, name);
  std::unique_ptr<Hdr_image> image;
  std::string damage;
  // Loaded before any viewer exists, so a failure leaves no window behind.
  if (!Command().fallback("Cannot read image file: " + path).run([&] {
        image = load_image_to_show(path, image_type_from_extension(path), damage);
      }))
    return nullptr;
  ImageDialogDrv* viewer = open_viewer_or_alert(std::move(image), path, name, folder);
  if (!viewer) return nullptr;
  // A damaged file shows what could be decoded, and says so once.
  if (!damage.empty()) show_alert(damage);
  return viewer;
}
